#include "rules/record_rules.h"

#include <gtest/gtest.h>

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "commands/validate_file.h"
#include "core/failure.h"
#include "core/scripted_ui.h"
#include "core/session.h"
#include "support/record_lines.h"
#include "support/test_support.h"

namespace bs {
namespace {

using test::ErrorRowText;
using test::RuleBench;
using test::withField;

constexpr long long kTotal = 2500000;

// The batch as the lines before the trailer left it: 2 debits, 5 credits, 2,500.000 in total.
void seeBatch(RuleBench& rs, std::string_view product) {
  rs.state.debitCount = 2;
  rs.state.creditCount = 5;
  rs.state.debitAmountTotal = kTotal;
  rs.state.currentProduct = product;
}

using test::FieldEdit;

struct TrailerCase {
  const char* name;
  std::string_view product;
  std::vector<FieldEdit> edits;
  std::vector<std::string> messages;
};

constexpr const char* kSixDigits = "This field should be number 6 digits and more than zero";
constexpr const char* kMoreThanZero = "This field should be number and more than zero";
constexpr const char* kDebitsMismatch = "Total No. of Debits does not match with debit detail";
constexpr const char* kCreditsMismatch = "Total No. of Credits does not match with credit detail";
constexpr const char* kAmountMismatch = "Total Amount does not match with detail";
constexpr const char* kSixteen = "Total Amount should have 16 digits";
constexpr const char* kTwoDecimals = "Amount should have two digits after decimal";

TEST(TrailerRecord, CountsAndTotalAgainstTheBatch) {
  // clang-format off
  const std::vector<TrailerCase> cases = {
      {"matching trailer", "PAY", {}, {}},
      {"one debit too many", "PAY", {{4, 9, "000003"}}, {kDebitsMismatch}},
      {"credits short", "BNT", {{10, 15, "000004"}}, {kCreditsMismatch}},
      {"six zeros in a file with debits", "PAY", {{4, 9, "000000"}}, {kMoreThanZero, kDebitsMismatch}},
      {"five digits and a blank: no comparison", "PAY", {{4, 9, "00003 "}}, {kSixDigits}},
      {"credits with a leading blank", "PAY", {{10, 15, " 00005"}}, {kSixDigits}},
      {"credits not a number", "PAY", {{10, 15, "00000A"}}, {kSixDigits}},
      {"total differs", "PAY", {{16, 31, "0000000002500010"}}, {kAmountMismatch}},
      {"total zero", "PAY", {{16, 31, "0000000000000000"}}, {kMoreThanZero, kAmountMismatch}},
      {"total not a number", "PAY", {{16, 31, "00000000025000O0"}}, {kMoreThanZero}},
      {"total not a number ending in 5", "PAY", {{16, 31, "00000000025000O5"}}, {kMoreThanZero}},
      {"total blank", "PAY", {{16, 31, ""}}, {kMoreThanZero, kSixteen}},
      {"total with leading blanks still compared", "PAY", {{16, 31, "   0000002500000"}}, {kSixteen}},
      {"total ending in 5", "PAY", {{16, 31, "0000000002500005"}}, {kAmountMismatch, kTwoDecimals}},
      {"direct debit: no comparisons", "DDR", {{4, 9, "000009"}, {10, 15, "000009"}, {16, 31, "0000000009990000"}}, {}},
      {"direct debit: form still checked", "DDR", {{4, 9, "000000"}}, {kMoreThanZero}},
      {"direct debit: total ending in 5", "DDR", {{16, 31, "0000000009990005"}}, {kTwoDecimals}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RuleBench rs;
    seeBatch(rs, c.product);
    std::string line = test::withFields(test::trailerLine(2, 5, kTotal), c.edits);
    checkTrailerRecord(rs.context(), line, 30);
    EXPECT_EQ(rs.messages(), c.messages);
    EXPECT_EQ(rs.state.batchValid, c.messages.empty());
  }
}

TEST(TrailerRecord, RowsNameTheirFieldAndCarryNoParty) {
  RuleBench rs;
  seeBatch(rs, "PAY");
  std::string line = test::trailerLine(0, 1, 0);
  line = withField(line, 16, 31, " 000000000000001");
  checkTrailerRecord(rs.context(), line, 30);
  const std::vector<ErrorRowText> expected = {
      {"999", "30", "4-9", "Total No. of Debits", kMoreThanZero, "", ""},
      {"999", "30", "4-9", "Total No. of Debits", kDebitsMismatch, "", ""},
      {"999", "30", "10-15", "Total No. of Credits", kCreditsMismatch, "", ""},
      {"999", "30", "16-31", "Total Amount", kAmountMismatch, "", ""},
      {"999", "30", "16-31", "Total Amount", kSixteen, "", ""},
  };
  EXPECT_EQ(rs.rows(), expected);
  EXPECT_EQ(rs.form.Label4.caption, "Invalid data fields");
}

TEST(TrailerRecord, CountThatIsNoWholeNumberEndsTheRun) {
  struct Case {
    std::size_t first, last;
    std::string_view text;
    std::vector<std::string> rowsBefore;
  };
  const std::vector<Case> cases = {
      {4, 9, "1.0000", {}},
      {10, 15, "1E+005", {kDebitsMismatch}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    RuleBench rs;
    seeBatch(rs, "DDR");  // the conversion runs before the product is looked at
    std::string line = withField(test::trailerLine(2, 5, kTotal), c.first, c.last, c.text);
    if (!c.rowsBefore.empty()) {
      rs.state.currentProduct = "PAY";
      line = withField(line, 4, 9, "000001");
    }
    try {
      checkTrailerRecord(rs.context(), line, 30);
      ADD_FAILURE() << "no failure";
    } catch (const Failure& f) {
      EXPECT_EQ(f.what(), "'" + std::string(c.text) + "' is not a valid integer value");
    }
    EXPECT_EQ(rs.messages(), c.rowsBefore);
  }
}

TEST(TrailerRecord, DirectDebitProductOfTheLastDebitLineDecidesOverComparisons) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> trailerMessages;
  };
  const std::string header = test::headerLine();
  const std::string dd = test::directDebitLine();
  const std::string item = test::directDebitItemLine();
  const std::string trailer = test::trailerLine(3, 4, 9990000);
  // clang-format off
  const std::vector<Case> cases = {
      {"direct-debit file", {header, dd, item, item, trailer}, {}},
      {"a debit line after the direct-debit line", {header, dd, item, test::debitLine("PAY", 1000, 0), trailer}, {kDebitsMismatch, kCreditsMismatch, kAmountMismatch}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    test::writeFile(dir / "pay.txt", test::joinLines(c.lines));
    ScriptedUi ui;
    Session session(ui, {}, Clock::fixed(std::string(test::kToday)));
    setUpSession(session);
    validateFile(session, (dir / "pay.txt").string());
    std::vector<std::string> trailerMessages;
    for (const auto& row : test::errorRows(session.form.StringGrid1))
      if (row.recordType == "999") trailerMessages.push_back(row.message);
    EXPECT_EQ(trailerMessages, c.trailerMessages);
  }
}

}  // namespace
}  // namespace bs
