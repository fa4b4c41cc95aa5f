#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "core/error_list.h"
#include "core/scripted_ui.h"
#include "core/session.h"
#include "support/test_support.h"

namespace bs {
namespace {

namespace fs = std::filesystem;

struct Exported {
  std::vector<std::string> messages;
  std::string file;
  bool written = false;
};

// Which results the last run left, and what the grid holds.
struct ExportCase {
  const char* name;
  bool typesValid, lengthsValid, batchValid;
  std::vector<std::vector<std::string>> rows;  // data rows, columns 0..
  std::string expected;
};

Exported runExport(const ExportCase& c, const fs::path& target) {
  ScriptedUi ui;
  Session session(ui, ProgramPaths{target.parent_path()}, Clock::fixed("20261209"));
  session.state.recordTypesValid = c.typesValid;
  session.state.recordLengthsValid = c.lengthsValid;
  session.state.batchValid = c.batchValid;
  Grid& grid = session.form.StringGrid1;
  grid.setRowCount(static_cast<int>(c.rows.size()) + 2);  // header row and the final empty row
  for (std::size_t r = 0; r < c.rows.size(); ++r)
    for (std::size_t col = 0; col < c.rows[r].size(); ++col)
      grid.setCell(static_cast<int>(col), static_cast<int>(r) + 1, c.rows[r][col]);
  ui.files.push_back(target.string());
  EXPECT_TRUE(runCommand(session, btnSaveErrorClick));
  Exported out;
  out.messages = ui.messages();
  out.written = fs::exists(target);
  if (out.written) out.file = test::readFile(target);
  return out;
}

TEST(ErrorExport, FormatFollowsTheResultsOfTheLastRun) {
  const std::vector<ExportCase> cases = {
      {"record types",
       false,
       true,
       false,
       {{"1", "7"}, {"2", "12"}},
       "LineNo : 7 Record type invalid code\r\nLineNo : 12 Record type invalid code\r\n"},
      {"record lengths",
       true,
       false,
       false,
       {{"1", "999", "12"}},
       "LineNo.: 12 Invalid length in record type 999\r\n"},
      {"types before lengths",
       false,
       false,
       false,
       {{"1", "999", "12"}},
       "LineNo : 999 Record type invalid code\r\n"},
      {"validation",
       true,
       true,
       false,
       {{"1", "002", "2", "73-78", "No.of Credit",
         "No. of Credit does not match with Total Credit Detail", "1234567890", "Payee"}},
       "Record Type:  002  LineNo.:  2  Column:  73-78  Field Name:  No.of Credit  Message:  "
       "No. of Credit does not match with Total Credit Detail\r\n"},
      {"cells inserted unchanged",
       true,
       true,
       false,
       {{"1", " 003", "", "", "Name \xA1\xE0", "  msg  "}},
       "Record Type:   003  LineNo.:    Column:    Field Name:  Name \xA1\xE0  Message:    msg  "
       "\r\n"},
      {"empty list", true, true, false, {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    Exported out = runExport(c, dir / "errors.txt");
    ASSERT_TRUE(out.written);
    EXPECT_EQ(out.file, c.expected);
    EXPECT_EQ(out.messages, std::vector<std::string>{"Error data save success"});
  }
}

TEST(ErrorExport, NothingToExportAfterACleanRunShowsNoDialog) {
  test::TempDir dir;
  ScriptedUi ui;
  Session session(ui, ProgramPaths{dir.path()}, Clock::fixed("20261209"));
  session.state.recordTypesValid = session.state.recordLengthsValid = true;
  session.state.batchValid = true;
  ui.files.push_back((dir / "errors.txt").string());
  EXPECT_TRUE(runCommand(session, btnSaveErrorClick));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_FALSE(fs::exists(dir / "errors.txt"));
}

TEST(ErrorExport, CancelWritesNothingAndShowsNothing) {
  test::TempDir dir;
  ScriptedUi ui;
  Session session(ui, ProgramPaths{dir.path()}, Clock::fixed("20261209"));
  ui.files.push_back(std::nullopt);
  EXPECT_TRUE(runCommand(session, btnSaveErrorClick));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "sdlg");
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(ErrorExport, OverwritesAnExistingFileCompletely) {
  test::TempDir dir;
  test::writeFile(dir / "errors.txt", std::string(5000, 'x'));
  ExportCase c{"", false, true, false, {{"1", "3"}}, ""};
  Exported out = runExport(c, dir / "errors.txt");
  EXPECT_EQ(out.file, "LineNo : 3 Record type invalid code\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
      << "no scratch file is left beside the export";
}

TEST(ErrorExport, AFileThatCannotBeWrittenEndsTheCommandWithoutSuccess) {
  test::TempDir dir;
  fs::create_directories(dir / "taken");
  test::writeFile(dir / "taken" / "inside.txt", "keep");
  test::writeFile(dir / "read-only.txt", "keep");
  fs::permissions(dir / "read-only.txt", fs::perms::owner_read);
  struct Target {
    const char* name;
    fs::path path;
  };
  const std::vector<Target> targets = {
      {"missing folder", dir / "no such folder" / "errors.txt"},
      {"a folder", dir / "taken"},
      {"marked read-only by its owner", dir / "read-only.txt"},
  };
  for (const auto& t : targets) {
    SCOPED_TRACE(t.name);
    ScriptedUi ui;
    Session session(ui, ProgramPaths{dir.path()}, Clock::fixed("20261209"));
    session.state.recordTypesValid = false;
    setUpErrorList(session.form);
    addError(session.form, "7", "", "", "", "");
    ui.files.push_back(t.path.string());
    EXPECT_FALSE(runCommand(session, btnSaveErrorClick));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].kind, "error");
    EXPECT_NE(ui.shown[1].text.find(t.path.string()), std::string::npos) << ui.shown[1].text;
    for (const auto& s : ui.shown) EXPECT_NE(s.text, "Error data save success");
  }
  EXPECT_EQ(test::readFile(dir / "taken" / "inside.txt"), "keep");
  EXPECT_EQ(test::readFile(dir / "read-only.txt"), "keep");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace bs
