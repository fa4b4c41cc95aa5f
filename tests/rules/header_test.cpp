#include "rules/record_rules.h"

#include <gtest/gtest.h>

#include "support/record_lines.h"

namespace bs {
namespace {

using test::ErrorRowText;
using test::RuleBench;
using test::withField;

using test::FieldEdit;

struct HeaderCase {
  const char* name;
  std::vector<FieldEdit> edits;
  std::vector<std::string> fieldNames;  // the rows expected, in order
};

TEST(HeaderRecord, FieldsPassOrFailAsTheBankReadsThem) {
  // clang-format off
  const std::vector<HeaderCase> cases = {
      {"the valid header", {}, {}},
      {"channel CNC is accepted", {{62, 64, "CNC"}}, {}},
      {"channel in lower case", {{62, 64, "bcm"}}, {"Channel Id"}},
      {"channel BC and a blank", {{62, 64, "BC "}}, {"Channel Id"}},
      {"channel blank", {{62, 64, ""}}, {"Channel Id"}},
      {"date with a leading blank passes", {{48, 55, " 2026120"}}, {}},
      {"date with a trailing blank", {{48, 55, "2026120 "}}, {"Message/File Date"}},
      {"no calendar check on the date", {{48, 55, "99999999"}}, {}},
      {"time with colons", {{56, 61, "09:30:"}}, {"Message/File Time"}},
      {"company id blank", {{4, 15, ""}}, {"Company Id"}},
      {"customer reference of tabs", {{16, 47, "\t\t"}}, {"Customer Reference"}},
      {"every field wrong", {{4, 15, ""}, {16, 47, ""}, {48, 55, "A"}, {56, 61, ""}, {62, 64, "XYZ"}}, {"Company Id", "Customer Reference", "Message/File Date", "Message/File Time", "Channel Id"}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string line = test::withFields(test::headerLine(), c.edits);
    RuleBench rs;
    checkHeaderRecord(rs.context(), line, 1);
    std::vector<std::string> names;
    for (const auto& row : rs.rows()) names.push_back(row.fieldName);
    EXPECT_EQ(names, c.fieldNames);
    EXPECT_EQ(rs.state.batchValid, c.fieldNames.empty());
    EXPECT_EQ(rs.form.btnSaveError.enabled, !c.fieldNames.empty());
  }
}

TEST(RecordLines, BuildersKeepTheLengthOfTheirRecordType) {
  const std::vector<std::pair<std::string, std::size_t>> lines = {
      {test::headerLine(), 96},
      {test::debitLine("MCL", 1000, 1), 109},
      {test::debitLine("BNT", 1000, 1), 109},
      {test::trailerLine(1, 1, 1000), 31},
      {test::directDebitLine(), 300},
      {test::directDebitItemLine(), 200},
  };
  for (const auto& [line, length] : lines) EXPECT_EQ(line.size(), length) << line.substr(0, 3);
  EXPECT_EQ(test::homeAccountWithCheckDigit("123456789"), test::kHomeAccount);
}

TEST(HeaderRecord, RowsCarryTheTextsOfTheRuleTableAndNoParty) {
  std::string line = test::headerLine("");
  line = withField(line, 16, 47, "");
  line = withField(line, 48, 55, "2026-12-");
  line = withField(line, 56, 61, "");
  line = withField(line, 62, 64, "cnc");
  RuleBench rs;
  checkHeaderRecord(rs.context(), line, 7);
  const std::vector<ErrorRowText> expected = {
      {"001", "7", "4-15", "Company Id", "This field should not be space", "", ""},
      {"001", "7", "16-47", "Customer Reference", "This field should not be space", "", ""},
      {"001", "7", "48-55", "Message/File Date", "This field should be number", "", ""},
      {"001", "7", "56-61", "Message/File Time", "This field should be number", "", ""},
      {"001", "7", "62-64", "Channel Id", "This field should  be BCM", "", ""},
  };
  EXPECT_EQ(rs.rows(), expected);
  EXPECT_EQ(rs.form.Label4.caption, "Invalid data fields");
  EXPECT_EQ(rs.state.invalidAccountCount, 0);
}

}  // namespace
}  // namespace bs
