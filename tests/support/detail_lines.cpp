#include "support/detail_lines.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "support/test_support.h"

namespace bs::test {

// ส ม ช า ย, blank, ใ จ ด ี  in Windows-874.
const std::string kThaiPayeeName = "\xCA\xC1\xAA\xD2\xC2 \xE3\xA8\xB4\xD5";
// บ ร ิ ษ ั ท, blank, ท ด ส อ บ  in Windows-874.
const std::string kThaiPayee2Name = "\xBA\xC3\xD4\xC9\xD1\xB7 \xB7\xB4\xCA\xCD\xBA";

std::string payeeLine(const PayeeFields& f) {
  return LineBuilder("004", 816)
      .set(4, 11, f.internalReference)
      .set(12, 17, f.creditSequence)
      .set(18, 32, f.idCard)
      .set(33, 132, f.nameTh)
      .set(343, 352, f.taxId)
      .set(353, 422, f.nameEn)
      .set(423, 432, f.fax)
      .set(507, 606, f.payee2NameTh)
      .str();
}

std::string payeeLineEnglish(std::string_view nameEn) {
  PayeeFields f;
  f.nameTh.clear();
  f.nameEn = nameEn;
  return payeeLine(f);
}

std::string payeeLineThai(std::string_view nameTh) {
  PayeeFields f;
  f.nameTh = nameTh;
  f.nameEn.clear();
  return payeeLine(f);
}

std::string whtLine(const WhtFields& f) {
  return LineBuilder("005", 138)
      .set(4, 11, f.internalReference)
      .set(12, 17, f.creditSequence)
      .set(18, 19, f.whtSequence)
      .set(20, 35, f.whtAmount)
      .set(36, 40, f.incomeType)
      .set(41, 120, f.description)
      .set(121, 122, f.deductRate)
      .set(123, 138, f.incomeAmount)
      .str();
}

std::string whtLine(std::string_view incomeType, std::int64_t whtThousandths) {
  WhtFields f;
  f.incomeType = incomeType;
  f.whtAmount = amount16(whtThousandths);
  f.incomeAmount = amount16(std::max<std::int64_t>(whtThousandths * 100, 1000));
  return whtLine(f);
}

std::string invoiceLine(const InvoiceFields& f) {
  return LineBuilder("006", 196)
      .set(4, 11, f.internalReference)
      .set(12, 17, f.creditSequence)
      .set(18, 23, f.invoiceSequence)
      .set(24, 38, f.invoiceNumber)
      .set(39, 54, f.invoiceAmount)
      .set(55, 62, f.invoiceDate)
      .set(148, 163, f.vatAmount)
      .set(164, 179, f.payeeChargeAmount)
      .set(180, 195, f.whtAmount)
      .set(196, 196, f.printLanguage)
      .str();
}

std::string invoiceLine(std::int64_t amountThousandths) {
  InvoiceFields f;
  f.invoiceAmount = amount16(amountThousandths);
  return invoiceLine(f);
}

}  // namespace bs::test
