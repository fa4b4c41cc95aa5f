#include "support/credit_lines.h"

#include <cstdio>
#include <stdexcept>

namespace bs::test {

namespace {

bool isOneOf(std::string_view code, std::initializer_list<std::string_view> codes) {
  for (std::string_view c : codes) {
    if (c == code) return true;
  }
  return false;
}

}  // namespace

CreditLine::CreditLine(std::string_view product) : line_("003", 355) {
  using namespace credit;
  const bool cheque = isOneOf(product, {"MCP", "DDP", "CCP", "XMQ", "XDQ"});
  const bool homeTransfer = isOneOf(product, {"DCP", "PAY", "PA2", "PA3"});
  set(sequence, "000001");
  set(account, kHomeAccount);
  set(amount, amount16(1000000));  // 1,000.00 baht
  set(currency, "THB");
  set(internalReference, "INV00001");
  set(whtPresent, "N");
  set(invoicePresent, "N");
  set(adviceRequired, "N");
  set(deliveryMode, "M");
  set(whtAttachNo, "000000");
  set(whtCount, "00");
  set(whtTotal, amount16(0));
  set(invoiceCount, "000000");
  set(invoiceTotal, amount16(0));
  // Cheques and home-bank transfers go to the home bank, the rest to another bank.
  set(bankCode, cheque || homeTransfer ? "014" : "002");
  set(bankName, "RECEIVING BANK");
  set(branchCode, "0001");
  set(notification, "N");
  if (cheque) {
    set(chequeReference, "CHQ0000001");
    set(chequeDocumentType, "1");
  }
  if (product == "BNT") {
    set(paymentTypeCode, "CSH");
    set(servicesType, "00");
  }
  if (product == "MCL") set(servicesType, "01");
}

CreditLine& CreditLine::set(CreditField field, std::string_view text) {
  line_.set(field.first, field.last, text);
  return *this;
}

CreditLine& CreditLine::withWht(int detailCount, std::int64_t totalThousandths) {
  using namespace credit;
  set(whtPresent, "Y");
  set(whtFormType, "03");
  set(whtAttachNo, "000001");
  set(whtCount, digits(detailCount, 2));
  set(whtTotal, amount16(totalThousandths));
  set(whtPayType, "1");
  set(whtDeductDate, "20240229");
  set(whtSignatory, "B");
  return *this;
}

CreditLine& CreditLine::withInvoices(int detailCount, std::int64_t totalThousandths) {
  using namespace credit;
  set(invoicePresent, "Y");
  set(invoiceCount, digits(detailCount, 6));
  set(invoiceTotal, amount16(totalThousandths));
  return *this;
}

}  // namespace bs::test
