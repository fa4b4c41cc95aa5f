#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error_list.h"
#include "core/failure.h"
#include "core/prechecks.h"
#include "core/scripted_ui.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"

namespace bs {
namespace {

using test::joinLines;

// The listed offences, one text per data row: the cells of its columns joined with '|'.
std::vector<std::string> listed(const Grid& grid) {
  std::vector<std::string> rows;
  for (int r = 1; r + 1 < grid.rowCount(); ++r) {
    std::string row;
    for (int c = 0; c < grid.colCount(); ++c) {
      if (c > 0) row += '|';
      row += grid.cell(c, r);
    }
    rows.push_back(row);
  }
  EXPECT_EQ(grid.cell(0, grid.rowCount() - 1), "") << "one empty row after the last offence";
  return rows;
}

const std::string kHeader = test::headerLine();
const std::string kTrailer = test::trailerLine(1, 1, 1000000);
// Built when the test runs: the payee builder's default name is a global of another file.
std::string cleanFile() {
  return joinLines({kHeader, test::debitLine("MCL", 1000000, 1), test::CreditLine("MCL"),
                    test::payeeLine(), test::whtLine(), test::invoiceLine(),
                    test::directDebitLine(), test::directDebitItemLine(), kTrailer});
}

struct PrecheckCase {
  const char* name;
  std::string bytes;
  bool typesValid;
  std::vector<std::string> typeRows;  // "No.|Line"
  bool lengthsValid;
  std::vector<std::string> lengthRows;  // "No.|Record Type|Line"
};

TEST(Prechecks, ListEveryOffendingLine) {
  const std::vector<PrecheckCase> cases = {
      {"every record type at its length", cleanFile(), true, {}, true, {}},
      {"an empty file passes both", "", true, {}, true, {}},
      {"an extra CR LF at the end is an empty line of no type",
       cleanFile() + "\r\n",
       false,
       {"1|10"},
       true,
       {}},
      {"LF-only line ends make one long line",
       kHeader + "\n" + kTrailer + "\n",
       true,
       {},
       false,
       {"1|001|1"}},
      {"a trailer with one trailing blank",
       joinLines({kHeader, kTrailer + " "}),
       true,
       {},
       false,
       {"1|999|2"}},
      {"zero, letter O, one is no type and is passed over by the length check",
       joinLines({kHeader, "0O1" + std::string(93, ' '), "abc", kTrailer}),
       false,
       {"1|2", "2|3"},
       true,
       {}},
      {"every short line is listed in order",
       joinLines({"001", test::debitLine("MCL", 1000, 1), "003short", "999"}),
       true,
       {},
       false,
       {"1|001|1", "2|003|3", "3|999|4"}},
      {"nothing after a 0x1A byte is looked at",
       joinLines({kHeader, kTrailer}) + "\x1A" + "garbage\r\n999\r\n",
       true,
       {},
       true,
       {}},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (dir / "pay.txt").string();
    test::writeFile(path, c.bytes);
    ScriptedUi ui;
    Session s(ui, {}, Clock::fixed("20240101"));

    EXPECT_EQ(checkRecordTypes(s, path), c.typesValid);
    EXPECT_EQ(s.state.recordTypesValid, c.typesValid);
    EXPECT_EQ(s.form.StringGrid1.colCount(), 2);
    EXPECT_EQ(s.form.StringGrid1.cell(0, 0), "No.");
    EXPECT_EQ(s.form.StringGrid1.cell(1, 0), "Line");
    EXPECT_EQ(listed(s.form.StringGrid1), c.typeRows);

    EXPECT_EQ(checkRecordLengths(s, path), c.lengthsValid);
    EXPECT_EQ(s.state.recordLengthsValid, c.lengthsValid);
    EXPECT_EQ(s.form.StringGrid1.colCount(), 3);
    EXPECT_EQ(s.form.StringGrid1.cell(1, 0), "Record Type");
    EXPECT_EQ(s.form.StringGrid1.cell(2, 0), "Line");
    EXPECT_EQ(listed(s.form.StringGrid1), c.lengthRows);
  }
}

TEST(Prechecks, ReplaceAnEarlierErrorList) {
  test::TempDir dir;
  const std::string path = (dir / "pay.txt").string();
  test::writeFile(path, joinLines({"XYZ"}));
  ScriptedUi ui;
  Session s(ui, {}, Clock::fixed("20240101"));
  setUpErrorList(s.form);
  for (int i = 0; i < 5; ++i) addError(s.form, "002", "1", "1-3", "F", "m");
  EXPECT_FALSE(checkRecordTypes(s, path));
  EXPECT_EQ(s.form.StringGrid1.rowCount(), 3);
  EXPECT_EQ(s.form.StringGrid1.cell(1, 1), "1");
  EXPECT_EQ(s.form.StringGrid1.cell(2, 1), "") << "old rows are cleared";
}

TEST(Prechecks, MissingFileIsAFailure) {
  test::TempDir dir;
  ScriptedUi ui;
  Session s(ui, {}, Clock::fixed("20240101"));
  const std::string missing = (dir / "none.txt").string();
  EXPECT_THROW(checkRecordTypes(s, missing), Failure);
  EXPECT_THROW(checkRecordLengths(s, missing), Failure);
}

}  // namespace
}  // namespace bs
