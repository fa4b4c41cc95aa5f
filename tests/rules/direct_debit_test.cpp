#include "rules/record_rules.h"

#include <gtest/gtest.h>

#include "support/record_lines.h"

namespace bs {
namespace {

using test::ErrorRowText;
using test::kToday;
using test::RuleBench;
using test::withField;

using test::FieldEdit;

struct Case {
  const char* name;
  std::vector<FieldEdit> edits;
  std::vector<std::string> fields;  // Column cells of the rows expected, in order
  std::vector<std::string> messages;
};

std::vector<std::string> columns(const RuleBench& rs) {
  std::vector<std::string> out;
  for (const auto& row : rs.rows()) out.push_back(row.column);
  return out;
}

TEST(DirectDebitRecord, FieldChecks) {
  // clang-format off
  const std::vector<Case> cases = {
      {"the valid line", {}, {}, {}},
      {"value date today", {{15, 22, kToday}}, {}, {}},
      {"value date yesterday", {{15, 22, "20261208"}}, {"15-22"}, {"Value date should be today or future date"}},
      {"impossible date", {{15, 22, "20270230"}}, {"15-22"}, {"Invalid value date"}},
      {"blank reference", {{7, 14, ""}}, {"7-14"}, {"This field should not be space"}},
      {"round blank", {{23, 24, ""}}, {"23-24", "23-24", "23-24"}, {"This field should not be space", "This field should be number 2 digits", "This field should be 00,01 or 02"}},
      {"round 03", {{23, 24, "03"}}, {"23-24"}, {"This field should be 00,01 or 02"}},
      {"round 1 and a blank", {{23, 24, "1 "}}, {"23-24", "23-24"}, {"This field should be number 2 digits", "This field should be 00,01 or 02"}},
      {"round 02 passes", {{23, 24, "02"}}, {}, {}},
      {"first account blank", {{25, 49, ""}}, {"25-49"}, {"This field should be number "}},
      {"credit account blank", {{59, 83, ""}}, {"59-83"}, {"This field should be number 25 digits"}},
      {"ten-digit accounts without check digit pass", {{25, 49, "1111111111"}, {59, 83, "1111111111"}}, {}, {}},
      {"currency lower case", {{93, 95, "thb"}}, {"93-95"}, {"Currency should be THB"}},
      {"product code not examined", {{4, 6, "XYZ"}}, {}, {}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string line = test::withFields(test::directDebitLine(), c.edits);
    RuleBench rs;
    checkDirectDebitRecord(rs.context(), line, 2);
    EXPECT_EQ(columns(rs), c.fields);
    EXPECT_EQ(rs.messages(), c.messages);
    EXPECT_EQ(rs.state.batchValid, c.messages.empty());
  }
}

TEST(DirectDebitItemRecord, FieldChecks) {
  // clang-format off
  const std::vector<Case> cases = {
      {"the valid line", {}, {}, {}},
      {"blank reference", {{4, 11, ""}}, {"4-11"}, {"This field should not be space"}},
      {"sequence of five digits", {{12, 17, "00001 "}}, {"12-17"}, {"This field should be number 6 digits"}},
      {"account blank", {{18, 42, ""}}, {"18-42"}, {"This field should be number 25 digits"}},
      {"account with a letter", {{18, 42, "12345A"}}, {"18-42"}, {"This field should be number 25 digits"}},
      {"currency lower case", {{43, 45, "thb"}}, {"43-45"}, {"This field should THB"}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string line = test::withFields(test::directDebitItemLine(), c.edits);
    RuleBench rs;
    checkDirectDebitItemRecord(rs.context(), line, 3);
    EXPECT_EQ(columns(rs), c.fields);
    EXPECT_EQ(rs.messages(), c.messages);
    EXPECT_EQ(rs.state.batchValid, c.messages.empty());
  }
}

TEST(DirectDebitRecords, RowsCarryNoPartyAndKeepNoSums) {
  RuleBench rs;
  std::string dd = withField(test::directDebitLine(), 93, 95, "USD");
  std::string item = withField(test::directDebitItemLine(), 18, 42, "");
  checkDirectDebitRecord(rs.context(), dd, 2);
  checkDirectDebitItemRecord(rs.context(), item, 3);
  const std::vector<ErrorRowText> expected = {
      {"007", "2", "93-95", "Credit Currency", "Currency should be THB", "", ""},
      {"008", "3", "18-42", "Debit Account No", "This field should be number 25 digits", "", ""},
  };
  EXPECT_EQ(rs.rows(), expected);
  EXPECT_EQ(rs.state.debitAmountTotal, 0);
  EXPECT_EQ(rs.state.invalidAccountCount, 0);
  EXPECT_EQ(rs.form.Label4.caption, "Invalid data fields");
}

}  // namespace
}  // namespace bs
