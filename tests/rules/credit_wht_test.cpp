// Withholding-tax and invoice summary fields, and the batch-state values they leave.

#include "core/failure.h"
#include "rules/credit_harness.h"

namespace bs::test {
namespace {

using namespace credit;

const Fault kWhtNumber{"94-109", "Total WHT Amount", "This field should be number"};
const Fault kWht16{"94-109", "Total WHT Amount", "This field should have 16 digits"};
// clang-format off
const Fault kWhtDecimals{"94-109", "Total WHT Amount", "Amount should have two digits after decimal"};
const Fault kFormType{"70-71", "WHT Form Type", "This field should be 01,02,03 or 53"};
const Fault kAttachNo{"86-91", "WHT Attach No.", "This field should be number 6 digits"};
const Fault kWhtCount{"92-93", "No. of WHT Details", "This field should be number 2 digits"};
const Fault kPayType{"132-132", "WHT Pay Type", "If the record have WHT this field should be 1,2,3 or 4"};
const Fault kDate{"173-180", "WHT Deduct Date", "Invalid WHT Deduct Date"};
const Fault kSignatory{"258-258", "WHT Signatory", "If the record have WHT this field should be B or C"};
const Fault kRemark{"133-172", "WHT Remark", "It WHT Pay Type is 4 this field should not be space"};
// clang-format on

// A credit that declares tax; `edits` change it afterwards.
std::string whtLine(const Edits& edits) {
  CreditLine line("PAY");
  line.withWht(1, 150000);
  for (const auto& [field, text] : edits) line.set(field, text);
  return line.str();
}

TEST(CreditWhtSummary, RowsAndKeptValues) {
  struct Case {
    const char* name;
    std::string line;
    std::vector<Fault> expected;
    bool totalKept;  // creditWhtTotal and creditLine set from this credit
    double total;
    std::string countText;  // creditWhtCountText after the call ("old" when unchanged)
  };
  // clang-format off
  const std::vector<Case> cases{
      {"no tax, sixteen zeros", CreditLine("PAY").set(whtCount, "  ").str(), {}, true, 0, "old"},
      {"no tax, blank total", CreditLine("PAY").set(whtTotal, "").str(), {kWht16}, false, 0, "00"},
      {"tax, blank total: count rules skipped", whtLine({{whtTotal, ""}, {whtFormType, "04"}}), {kWhtNumber, kWht16}, false, 0, "01"},
      {"tax 150.00 with faulty form, attach and count", whtLine({{whtFormType, "04"}, {whtAttachNo, "00001"}, {whtCount, "1"}}), {kFormType, kAttachNo, kWhtCount}, true, 150000, "old"},
      {"tax of zero: form, attach and count untested", whtLine({{whtTotal, amount16(0)}, {whtFormType, "99"}, {whtAttachNo, ""}, {whtCount, "X"}}), {}, true, 0, "old"},
      {"tax 150.005: decimals row, total not kept, count rules run", whtLine({{whtTotal, "0000000000150005"}, {whtFormType, ""}}), {kWhtDecimals, kFormType}, false, 0, "01"},
      {"form type 53 and count 99 pass", whtLine({{whtFormType, "53"}, {whtCount, "99"}}), {}, true, 150000, "99"},
      {"negative total: no count rules", whtLine({{whtTotal, "-000000000150000"}, {whtCount, ""}}), {}, true, -150000, "old"},
  };
  // clang-format on
  for (const Case& c : cases) {
    CreditHarness h;
    h.state.creditWhtTotal = 99;
    h.state.creditLine = 3;
    h.state.creditWhtCountText = "old";
    h.check(c.line, "PAY", 11);
    EXPECT_EQ(h.faults(), c.expected) << c.name;
    EXPECT_EQ(h.state.creditWhtTotal, c.totalKept ? c.total : 99) << c.name;
    EXPECT_EQ(h.state.creditLine, c.totalKept ? 11 : 3) << c.name;
    EXPECT_EQ(h.state.creditWhtCountText, c.countText) << c.name;
  }
}

TEST(CreditWhtSummary, CertificateParticularsOnlyWithTax) {
  struct Case {
    const char* name;
    std::string line;
    std::vector<Fault> expected;
  };
  // clang-format off
  const std::vector<Case> cases{
      {"30 February", whtLine({{whtDeductDate, "20240230"}}), {kDate}},
      {"29 February 2023", whtLine({{whtDeductDate, "20230229"}}), {kDate}},
      {"blank particulars, in order", whtLine({{whtPayType, ""}, {whtDeductDate, ""}, {whtSignatory, "b"}}), {kPayType, kDate, kSignatory}},
      {"pay type 4 needs a remark", whtLine({{whtPayType, "4"}}), {kRemark}},
      {"pay type 4 with remark", whtLine({{whtPayType, "4"}, {whtRemark, "OTHER"}}), {}},
      {"no tax: particulars untested", CreditLine("PAY").set(whtPayType, "9").set(whtDeductDate, "X").str(), {}},
      {"no tax: remark still needed for pay type 4", CreditLine("PAY").set(whtPayType, "4").str(), {kRemark}},
  };
  // clang-format on
  for (const Case& c : cases) {
    CreditHarness h;
    h.check(c.line, "PAY");
    EXPECT_EQ(h.faults(), c.expected) << c.name;
  }
}

TEST(CreditInvoiceSummary, RowsAndKeptCountText) {
  const Fault count{"110-115", "No. of Invoice Details", "This field should be number 6 digits"};
  const Fault number{"116-131", "Total Invoice Amount", "This field should be number"};
  const Fault sixteen{"116-131", "Total Invoice Amount", "This field should have 16 digits"};
  const Fault notZero{"116-131", "Total Invoice Amount", "This field should not equal 0"};
  // clang-format off
  const Fault decimals{"116-131", "Total Invoice Amount", "Amount should have two digits after decimal"};
  // clang-format on
  struct Case {
    const char* name;
    std::string flag;
    Edits edits;
    std::vector<Fault> expected;
    std::string countText;
  };
  // clang-format off
  const std::vector<Case> cases{
      {"Y and zero total", "Y", {{invoiceTotal, amount16(0)}}, {notZero}, "000002"},
      {"N and zero total", "N", {{invoiceTotal, amount16(0)}}, {}, "000002"},
      {"N and blank count", "N", {{invoiceCount, ""}}, {}, "old"},
      {"Y and blank count", "Y", {{invoiceCount, ""}}, {count}, "old"},
      {"Y and blank total", "Y", {{invoiceTotal, ""}}, {number, sixteen}, "000002"},
      {"N and blank total", "N", {{invoiceTotal, ""}}, {sixteen}, "000002"},
      {"bad flag and blank total: no length rule", "X", {{invoiceTotal, ""}}, {{"63-63", "Invoice Details Present", "This field should be Y or N"}}, "000002"},
      {"Y and total ending in 5", "Y", {{invoiceTotal, "0000000000150005"}}, {decimals}, "000002"},
      {"N and total ending in 5", "N", {{invoiceTotal, "0000000000000005"}}, {decimals}, "000002"},
      {"count kept as it stands", "N", {{invoiceCount, "    12"}}, {}, "    12"},
  };
  // clang-format on
  for (const Case& c : cases) {
    CreditHarness h;
    h.state.creditInvoiceCountText = "old";
    CreditLine line("PAY");
    line.withInvoices(2, 500000).set(invoicePresent, c.flag);
    for (const auto& [field, text] : c.edits) line.set(field, text);
    h.check(line.str(), "PAY");
    EXPECT_EQ(h.faults(), c.expected) << c.name;
    EXPECT_EQ(h.state.creditInvoiceCountText, c.countText) << c.name;
  }
}

TEST(CreditWhtSummary, TotalsStartingWithTheExponentLetterEndTheCommand) {
  struct Case {
    const char* name;
    std::string line;
    std::string text;
  };
  // clang-format off
  const std::vector<Case> cases{
      {"WHT total ending in 0, no tax", CreditLine("PAY").set(whtTotal, "E000000000000000").str(), "E000000000000000"},
      {"WHT total ending in 5, with tax", whtLine({{whtTotal, "E000000000000005"}}), "E000000000000005"},
      {"invoice total with invoices", CreditLine("PAY").withInvoices(1, 0).set(invoiceTotal, "e000000000000000").str(), "e000000000000000"},
  };
  // clang-format on
  for (const Case& c : cases) {
    CreditHarness h;
    try {
      h.check(c.line, "PAY");
      ADD_FAILURE() << c.name << ": converted";
    } catch (const Failure& f) {
      EXPECT_EQ(std::string(f.what()), "'" + c.text + "' is not a valid floating point value")
          << c.name;
    }
  }
  // Without tax a total ending in 5 is never converted.
  CreditHarness h;
  h.check(CreditLine("PAY").set(whtTotal, "E000000000000005").str(), "PAY");
  EXPECT_EQ(h.faults(), std::vector<Fault>{kWhtDecimals});
}

}  // namespace
}  // namespace bs::test
