#include "rules/record_check.h"

#include <charconv>

#include "rules/products.h"

namespace bs {

namespace {

// The Column cell: "first-last", or the one number of a bare column.
struct ColumnText {
  char bytes[48];
  std::size_t size = 0;
  explicit ColumnText(const RuleField& f) {
    char* end = std::to_chars(bytes, bytes + 20, f.first).ptr;
    if (!f.bareColumn) {
      *end++ = '-';
      end = std::to_chars(end, bytes + sizeof bytes, f.last).ptr;
    }
    size = static_cast<std::size_t>(end - bytes);
  }
  std::string_view view() const { return {bytes, size}; }
};

}  // namespace

RecordCheck::RecordCheck(RuleContext& c, std::string_view recordType, std::string_view text, long n)
    : context(c), line{text, c.product, c.state}, lineNo(n), recordType_(recordType) {}

void RecordCheck::nameInRows(std::string_view account, std::string_view payeeName) {
  account_ = account;
  payeeName_ = payeeName;
}

void RecordCheck::readCredit() {
  credit_ = context.credit.read();
}

void RecordCheck::nameCreditInRows(Names names) {
  const Cells c = cells(names);
  nameInRows(c.account, c.payeeName);
}

RecordCheck::Cells RecordCheck::cells(Names names) const {
  if (names == Names::Line) return {account_, payeeName_};
  if (names == Names::ByProduct && isCheque()) return {{}, credit_.beneNameEn};
  return {credit_.account, {}};
}

bool RecordCheck::isCheque() const {
  return isChequeProduct(line.product);
}

void RecordCheck::run(std::span<const Rule> rules) {
  for (const Rule& rule : rules) {
    if (rule.when != nullptr && !rule.when(line)) continue;
    if (rule.passes(line.field(rule.field), line)) continue;
    report(rule.field, rule.message, rule.report, rule.names);
  }
}

bool RecordCheck::amountIs16DigitNumber(const RuleField& field) {
  const std::string_view amount = line.field(field);
  if (trim(amount).size() != 16) {
    report(field, "Amount should have 16 digits");
    return false;
  }
  if (!isNumber(amount)) {
    report(field, "Amount should be number");
    return false;
  }
  return true;
}

void RecordCheck::report(const RuleField& field, const Message& message, Report how, Names names) {
  std::string_view text = message.text;
  if (message.namesProduct) {
    text_.assign(message.text);
    text_ += line.product;
    text_ += message.ending;
    text = text_;
  }
  const Cells named = cells(names);
  const ColumnText column(field);
  const ErrorRow row{recordType_, lineNo,        column.view(),  field.name,
                     text,        named.account, named.payeeName};
  switch (how) {
    case Report::Fault:
      reportFault(context, row);
      break;
    case Report::CreditAccountFault:
      context.state.batchValid = false;
      reportAccountFault(context, row);
      break;
    case Report::AccountFault:
      reportAccountFault(context, row);
      break;
  }
}

std::span<const RuleTable> ruleTables() {
  static const RuleTable all[] = {
      {"001", tables::header},
      {"002", tables::debitBeforeAmount},
      {"002", tables::debitAfterAmount},
      {"003", tables::creditSequence},
      {"003", tables::creditReferenceAndFlags},
      {"003", tables::creditPickup},
      {"003", tables::creditWhtAndInvoiceCounts},
      {"003", tables::creditCertificateAndNotification},
      {"003", tables::creditBankAndAccount},
      {"004", tables::payee},
      {"005", tables::whtBeforeSum},
      {"005", tables::whtAfterSum},
      {"006", tables::invoice},
      {"007", tables::directDebit},
      {"008", tables::directDebitItem},
  };
  return all;
}

}  // namespace bs
