// Withholding-tax and invoice summary fields of a credit: the totals and counts that the
// detail records below it must match, and the particulars of the tax certificate.

#include <array>

#include "core/session.h"
#include "rules/credit/credit_check.h"

namespace bs::credit {

namespace {

constexpr std::size_t kWhtPresent = 62;
constexpr std::size_t kInvoiceDetailsPresent = 63;
constexpr Columns kWhtFormType{70, 71};
constexpr Columns kWhtAttachNo{86, 91};
constexpr Columns kWhtCount{92, 93};
constexpr Columns kWhtTotal{94, 109};
constexpr std::size_t kWhtTotalLastDigit = 109;
constexpr Columns kInvoiceCount{110, 115};
constexpr Columns kInvoiceTotal{116, 131};
constexpr std::size_t kInvoiceTotalLastDigit = 131;
constexpr Columns kWhtPayType{132, 132};
constexpr Columns kWhtRemark{133, 172};
constexpr Columns kWhtDeductDate{173, 180};
constexpr Columns kWhtSignatory{258, 258};

constexpr std::string_view kWhtTotalField = "Total WHT Amount";
constexpr std::string_view kInvoiceTotalField = "Total Invoice Amount";

bool whtPresent(const CreditCheck& c) {
  return c.columnIs(kWhtPresent, "Y");
}
bool invoicesPresent(const CreditCheck& c) {
  return c.columnIs(kInvoiceDetailsPresent, "Y");
}

// The certificate particulars matter only for a credit that declares tax above zero.  The value
// is converted unguarded: a total that starts with the exponent letter ends the command.
bool whtDeclared(const CreditCheck& c) {
  std::string_view total = c.field(kWhtTotal);
  return whtPresent(c) && isNumber(total) && toFloat(total) > 0;
}
bool payTypeIsOther(const CreditCheck& c) {
  return c.field(kWhtPayType) == "4";
}

bool isWhtFormType(std::string_view f) {
  return f == "01" || f == "02" || f == "03" || f == "53";
}
bool isWhtPayType(std::string_view f) {
  return f == "1" || f == "2" || f == "3" || f == "4";
}
bool isWhtSignatory(std::string_view f) {
  return f == "B" || f == "C";
}
// Year (4), month (2), day (2).
bool isDeductDate(std::string_view f) {
  return isValidDate(cut(f, 1, 4), cut(f, 5, 6), cut(f, 7, 8));
}

constexpr std::array<FieldRule, 3> kWhtFormRules{{
    {kWhtFormType,
     "WHT Form Type",
     whtDeclared,
     isWhtFormType,
     {"This field should be 01,02,03 or 53"}},
    {kWhtAttachNo,
     "WHT Attach No.",
     whtDeclared,
     numberOfLength<6>,
     {"This field should be number 6 digits"}},
    {kWhtCount,
     "No. of WHT Details",
     whtDeclared,
     numberOfLength<2>,
     {"This field should be number 2 digits"}},
}};

constexpr std::array<FieldRule, 1> kInvoiceCountRules{{
    {kInvoiceCount,
     "No. of Invoice Details",
     invoicesPresent,
     numberOfLength<6>,
     {"This field should be number 6 digits"}},
}};

constexpr std::array<FieldRule, 4> kCertificateRules{{
    {kWhtPayType,
     "WHT Pay Type",
     whtPresent,
     isWhtPayType,
     {"If the record have WHT this field should be 1,2,3 or 4"}},
    {kWhtDeductDate, "WHT Deduct Date", whtPresent, isDeductDate, {"Invalid WHT Deduct Date"}},
    {kWhtSignatory,
     "WHT Signatory",
     whtPresent,
     isWhtSignatory,
     {"If the record have WHT this field should be B or C"}},
    // Pay type 4 ("other") needs its remark whether or not the credit declares tax.
    {kWhtRemark,
     "WHT Remark",
     payTypeIsOther,
     notBlank,
     {"It WHT Pay Type is 4 this field should not be space"}},
}};

void checkWhtTotal(CreditCheck& c) {
  std::string_view total = c.field(kWhtTotal);
  const bool number = isNumber(total);
  if (whtPresent(c) && !number) {
    c.reportCreditError(kWhtTotal, {"This field should be number"}, kWhtTotalField);
  }
  // Every credit carries a 16-character total, with or without tax.
  if (trim(total).size() != 16) {
    c.reportCreditError(kWhtTotal, {"This field should have 16 digits"}, kWhtTotalField);
    return;
  }
  if (!number) return;
  if (c.columnIs(kWhtTotalLastDigit, "0")) {
    // The total and its line are kept together, for the driver's comparison with the details.
    BatchState& state = c.session.state;
    state.creditWhtTotal = static_cast<double>(toFloat(total));
    state.creditLine = c.lineNo;
  } else {
    c.reportCreditError(kWhtTotal, {"Amount should have two digits after decimal"}, kWhtTotalField);
  }
}

// The count texts are kept as they stand whenever they are numbers; the driver converts them.
void keepCountText(CreditCheck& c, Columns columns, std::string& into) {
  std::string_view count = c.field(columns);
  if (isNumber(count)) into = count;
}

void checkInvoiceTotal(CreditCheck& c) {
  std::string_view total = c.field(kInvoiceTotal);
  const bool number = isNumber(total);
  const bool sixteen = trim(total).size() == 16;
  const bool endsInZero = c.columnIs(kInvoiceTotalLastDigit, "0");
  const std::string_view flag = c.column(kInvoiceDetailsPresent);
  if (flag == "Y" && !number) {
    c.reportCreditError(kInvoiceTotal, {"This field should be number"}, kInvoiceTotalField);
  }
  if (flag == "Y" || flag == "N") {
    if (!sixteen) {
      c.reportCreditError(kInvoiceTotal, {"This field should have 16 digits"}, kInvoiceTotalField);
    } else if (flag == "Y" && number && endsInZero && !isAmount16(total)) {
      c.reportCreditError(kInvoiceTotal, {"This field should not equal 0"}, kInvoiceTotalField);
    }
  }
  if (sixteen && number && !endsInZero) {
    c.reportCreditError(kInvoiceTotal, {"Amount should have two digits after decimal"},
                        kInvoiceTotalField);
  }
}

}  // namespace

void checkWhtAndInvoiceSummary(CreditCheck& check) {
  BatchState& state = check.session.state;
  checkWhtTotal(check);
  applyRules(check, kWhtFormRules);
  keepCountText(check, kWhtCount, state.creditWhtCountText);
  applyRules(check, kInvoiceCountRules);
  keepCountText(check, kInvoiceCount, state.creditInvoiceCountText);
  checkInvoiceTotal(check);
  applyRules(check, kCertificateRules);
}

}  // namespace bs::credit
