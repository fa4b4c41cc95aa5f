#include "rules/record_layout.h"

#include <array>

#include "rules/record_fields.h"

namespace bs {

namespace {

using namespace fields;

constexpr FieldSpec kHeader[] = {recordType,       header::companyId, header::customerReference,
                                 header::fileDate, header::fileTime,  header::channelId,
                                 header::rest};
constexpr FieldSpec kDebit[] = {recordType,          debit::productCode, debit::valueDate,
                                debit::account,      debit::accountType, debit::branchCode,
                                debit::currency,     debit::amount,      debit::internalReference,
                                debit::creditCount,  debit::feeAccount,  debit::feeAccountType,
                                debit::feeBranchCode};
constexpr FieldSpec kCredit[] = {recordType,
                                 credit::sequence,
                                 credit::account,
                                 credit::amount,
                                 credit::currency,
                                 credit::internalReference,
                                 credit::whtPresent,
                                 credit::invoicesPresent,
                                 credit::adviceRequired,
                                 credit::deliveryMode,
                                 credit::pickupLocation,
                                 credit::whtFormType,
                                 credit::unexamined72,
                                 credit::whtAttachNo,
                                 credit::whtCount,
                                 credit::whtTotal,
                                 credit::invoiceCount,
                                 credit::invoiceTotal,
                                 credit::whtPayType,
                                 credit::whtRemark,
                                 credit::whtDeductDate,
                                 credit::receivingBank,
                                 credit::receivingBankName,
                                 credit::receivingBranch,
                                 credit::unexamined223,
                                 credit::whtSignatory,
                                 credit::notification,
                                 credit::chequeReference,
                                 credit::chequeDocumentType,
                                 credit::paymentTypeCode,
                                 credit::servicesType,
                                 credit::rest};
constexpr FieldSpec kPayee[] = {
    recordType,    payee::internalReference, payee::creditSequence, payee::idCard,
    payee::nameTh, payee::unexamined133,     payee::taxId,          payee::nameEn,
    payee::fax,    payee::unexamined433,     payee::payee2NameTh,   payee::rest};
constexpr FieldSpec kWht[] = {
    recordType,      wht::internalReference, wht::creditSequence, wht::whtSequence, wht::amount,
    wht::incomeType, wht::description,       wht::deductRate,     wht::incomeAmount};
constexpr FieldSpec kInvoice[] = {recordType,
                                  invoice::internalReference,
                                  invoice::creditSequence,
                                  invoice::invoiceSequence,
                                  invoice::invoiceNumber,
                                  invoice::amount,
                                  invoice::date,
                                  invoice::unexamined63,
                                  invoice::vatAmount,
                                  invoice::payeeChargeAmount,
                                  invoice::whtAmount,
                                  invoice::printLanguage};
constexpr FieldSpec kDirectDebit[] = {recordType,
                                      directDebit::productCode,
                                      directDebit::internalReference,
                                      directDebit::valueDate,
                                      directDebit::processingRound,
                                      directDebit::firstAccount,
                                      directDebit::unexamined50,
                                      directDebit::creditAccount,
                                      directDebit::unexamined84,
                                      directDebit::currency,
                                      directDebit::rest};
constexpr FieldSpec kDirectDebitItem[] = {recordType,
                                          directDebitItem::internalReference,
                                          directDebitItem::sequence,
                                          directDebitItem::account,
                                          directDebitItem::currency,
                                          directDebitItem::rest};
constexpr FieldSpec kTrailer[] = {recordType, trailer::debitCount, trailer::creditCount,
                                  trailer::totalAmount};

struct RecordType {
  std::string_view code;
  std::string_view name;
  std::span<const FieldSpec> fields;
};
constexpr std::array<RecordType, 9> kRecordTypes{{
    {"001", "Header", kHeader},
    {"002", "Debit", kDebit},
    {"003", "Credit", kCredit},
    {"004", "Payee", kPayee},
    {"005", "Withholding Tax", kWht},
    {"006", "Invoice", kInvoice},
    {"007", "Direct Debit", kDirectDebit},
    {"008", "Direct Debit Item", kDirectDebitItem},
    {"999", "Trailer", kTrailer},
}};

const RecordType* find(std::string_view code) {
  for (const RecordType& type : kRecordTypes)
    if (type.code == code) return &type;
  return nullptr;
}

}  // namespace

std::span<const FieldSpec> recordFields(std::string_view recordType) {
  const RecordType* type = find(recordType);
  return type ? type->fields : std::span<const FieldSpec>{};
}

std::string_view recordTypeName(std::string_view recordType) {
  const RecordType* type = find(recordType);
  return type ? type->name : std::string_view{};
}

}  // namespace bs
