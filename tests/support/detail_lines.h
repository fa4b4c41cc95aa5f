#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/record_lines.h"

namespace bs::test {

// Builders of valid detail lines of one credit: a payee ("004", 816 characters), a
// withholding-tax detail ("005", 138) and an invoice ("006", 196).  With the defaults each line
// passes every field check of its record under every product and with the credit's fax and WHT
// flags set; the fields can be changed one by one to build a faulty line.

// A Thai payee name as Windows-874 bytes ("สมชาย ใจดี").
extern const std::string kThaiPayeeName;
extern const std::string kThaiPayee2Name;

struct PayeeFields {
  std::string internalReference = "REF00001";
  std::string creditSequence = "000001";
  std::string idCard;                     // 18-32
  std::string nameTh = kThaiPayeeName;    // 33-132
  std::string taxId = "3100600123";       // 343-352
  std::string nameEn = "SOMCHAI JAIDEE";  // 353-422
  std::string fax = "0222222222";         // 423-432
  std::string payee2NameTh;               // 507-606
};
std::string payeeLine(const PayeeFields& fields = {});
// A payee with only an English name, or only a Thai name.
std::string payeeLineEnglish(std::string_view nameEn);
std::string payeeLineThai(std::string_view nameTh);

struct WhtFields {
  std::string internalReference = "REF00001";
  std::string creditSequence = "000001";
  std::string whtSequence = "01";
  std::string whtAmount = amount16(30000);  // 30.000
  std::string incomeType = "1";
  std::string description = "SERVICE FEE";
  std::string deductRate = "03";
  std::string incomeAmount = amount16(1000000);  // 1,000.000
};
std::string whtLine(const WhtFields& fields = {});
// A detail of `incomeType` withholding `whtThousandths`; the income amount is 100 times the tax
// withheld (at least 1.000), so the line stays valid for any tax of zero or more.
std::string whtLine(std::string_view incomeType, std::int64_t whtThousandths);

struct InvoiceFields {
  std::string internalReference = "REF00001";
  std::string creditSequence = "000001";
  std::string invoiceSequence = "000001";
  std::string invoiceNumber = "INV000000000001";
  std::string invoiceAmount = amount16(1070000);  // 1,070.000
  std::string invoiceDate = "20240131";
  std::string vatAmount = amount16(70000);
  std::string payeeChargeAmount = amount16(0);
  std::string whtAmount = amount16(30000);
  std::string printLanguage = "T";
};
std::string invoiceLine(const InvoiceFields& fields = {});
std::string invoiceLine(std::int64_t amountThousandths);

}  // namespace bs::test
