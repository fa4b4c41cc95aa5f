#include "commands/record_view.h"

#include <gtest/gtest.h>

#include <string>

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "core/scripted_ui.h"
#include "support/faulty_sample.h"
#include "support/record_lines.h"
#include "support/test_support.h"

namespace bs {
namespace {

// A session that has checked `bytes`, written as run.txt in a program folder of its own.
struct CheckedFile {
  test::TempDir dir;
  ScriptedUi ui;
  Session s{ui, ProgramPaths{test::makeProgramFolder(dir)},
            Clock::fixed(std::string(test::kToday))};
  std::string path = (dir.path() / "run.txt").string();

  explicit CheckedFile(std::string_view bytes) {
    setUpSession(s);
    test::writeFile(path, bytes);
    s.form.edtFileInput.text = path;
    runCommand(s, checkBatch);
  }
  const Grid& grid() const { return s.form.StringGrid1; }
};

TEST(RecordView, EveryErrorRowOpensItsRecordAtThePlantedField) {
  CheckedFile f(test::faultySample());
  ASSERT_GT(f.grid().rowCount(), 2);
  for (int r = 1; r + 1 < f.grid().rowCount(); ++r) {
    auto v = recordViewOfRow(f.s.state, f.grid(), r);
    ASSERT_TRUE(v && v->shown()) << "row " << r;
    EXPECT_GE(v->markedField, 0) << "row " << r;
  }
  for (const test::PlantedFault& p : test::plantedFaults()) {
    const std::string columns = std::to_string(p.field.first) + "-" + std::to_string(p.field.last);
    int row = 0;
    for (int r = 1; r < f.grid().rowCount() && !row; ++r)
      if (f.grid().cell(1, r) == p.recordType && f.grid().cell(3, r) == columns) row = r;
    ASSERT_NE(row, 0) << "no row for the fault in " << p.recordType;
    const auto v = recordViewOfRow(f.s.state, f.grid(), row);
    ASSERT_TRUE(v && v->shown());
    EXPECT_EQ(v->recordType, p.recordType);
    EXPECT_EQ(v->fields[static_cast<std::size_t>(v->markedField)].layout, p.field) << p.recordType;
    EXPECT_EQ(v->fields[static_cast<std::size_t>(v->markedField)].value, p.value);
  }
}

TEST(RecordView, PreCheckRowsMarkTheTypeOrTheMissingOrSurplusColumns) {
  struct Case {
    const char* name;
    std::string line;  // the second line of header, line, trailer
    std::size_t markFirst, markLast, expectedLength;
  };
  // clang-format off
  const Case cases[] = {
      {"unknown type",   test::withField(std::string(355, ' '), 1, 3, "0X3"), 1, 3, 0},
      {"short credit",   test::withField(std::string(350, ' '), 1, 3, "003"), 351, 355, 355},
      {"long trailer",   test::withField(std::string(33, ' '), 1, 3, "999"), 32, 33, 31},
      {"endless credit", test::withField(std::string(9000, ' '), 1, 3, "003"), 356, 9000, 355},
  };
  // clang-format on
  for (const Case& c : cases) {
    CheckedFile f(test::joinLines({test::headerLine(), c.line, test::trailerLine(0, 0, 0)}));
    const auto v = recordViewOfRow(f.s.state, f.grid(), 1);
    ASSERT_TRUE(v && v->shown()) << c.name;
    EXPECT_EQ(v->line, 2) << c.name;
    EXPECT_EQ(v->markFirst, c.markFirst) << c.name;
    EXPECT_EQ(v->markLast, c.markLast) << c.name;
    EXPECT_EQ(v->expectedLength, c.expectedLength) << c.name;
  }
}

TEST(RecordView, AFileChangedSinceTheCheckIsSaidToHaveChanged) {
  CheckedFile f(test::faultySample());
  std::string bytes = test::readFile(f.path);
  bytes.insert(0, "\r\n");  // every record one line further down
  test::writeFile(f.path, bytes);
  const auto v = recordViewOfRow(f.s.state, f.grid(), 1);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->status, RecordView::Status::Changed);
  EXPECT_NE(v->problem.find(f.path), std::string::npos);
  EXPECT_TRUE(v->fields.empty());
}

TEST(RecordView, VisibleTextShowsBlanksAndKeepsOneCharacterAColumn) {
  // clang-format off
  EXPECT_EQ(visibleText("A B\x01"), "A\xC2\xB7" "B\xC2\xA4");
  EXPECT_EQ(visibleText("\xA1\xD5"), "\xE0\xB8\x81\xE0\xB8\xB5");                   // ki: a letter and its vowel mark
  EXPECT_EQ(visibleColumns("\xA1\xD5"), "\xE0\xB8\x81\xE2\x97\x8C\xE0\xB8\xB5");  // the mark on a circle of its own
  // clang-format on
}

}  // namespace
}  // namespace bs
