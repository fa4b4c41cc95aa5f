#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error_list.h"
#include "core/prechecks.h"
#include "core/scripted_ui.h"
#include "core/session.h"
#include "support/record_lines.h"
#include "support/test_support.h"

namespace bs {
namespace {

std::string credit() {
  return test::LineBuilder("003", 355).str();
}

std::vector<std::string> gridText(const Grid& g) {
  std::vector<std::string> out{std::to_string(g.rowCount()) + "x" + std::to_string(g.colCount())};
  for (int r = 0; r < g.rowCount(); ++r)
    for (int c = 0; c < 8; ++c) out.emplace_back(g.cell(c, r));
  return out;
}

// The one-read pass must answer as the two pre-checks do, leave the same grid and state when
// the file is well formed, and change nothing when a line offends either check.
TEST(PassStructureChecks, AnswersAsThePreChecksDo) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    bool passes;
    long xmq, xdq;
  };
  const std::vector<Case> cases = {
      {"well formed, express credits counted per product",
       {test::headerLine(), test::debitLine("XMQ", 0, 2), credit(), credit(),
        test::debitLine("PAY", 0, 1), credit(), test::debitLine("XDQ", 0, 1), credit(),
        test::trailerLine(3, 4, 0)},
       true,
       2,
       1},
      {"unknown record type", {test::headerLine(), "0091234"}, false, 0, 0},
      {"short credit line", {test::headerLine(), credit().substr(0, 354)}, false, 0, 0},
      {"empty file", {}, true, 0, 0},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    const auto path = (dir / "pay.txt").string();
    test::writeFile(path, test::joinLines(c.lines));

    ScriptedUi ui;
    Session fused(ui, {}, Clock::fixed("20261209")), separate(ui, {}, Clock::fixed("20261209"));
    setUpErrorList(fused.form);
    setUpErrorList(separate.form);
    fused.form.StringGrid1.setCells(1, {"kept", "when the pass fails"});
    const std::vector<std::string> before = gridText(fused.form.StringGrid1);
    ExpressChequeCounts counts;
    EXPECT_EQ(passStructureChecks(fused, path, counts), c.passes) << c.name;
    if (!c.passes) {
      EXPECT_EQ(gridText(fused.form.StringGrid1), before) << c.name;
      continue;
    }
    EXPECT_EQ(counts.xmq, c.xmq) << c.name;
    EXPECT_EQ(counts.xdq, c.xdq) << c.name;
    ASSERT_TRUE(checkRecordTypes(separate, path)) << c.name;
    ASSERT_TRUE(checkRecordLengths(separate, path)) << c.name;
    EXPECT_EQ(gridText(fused.form.StringGrid1), gridText(separate.form.StringGrid1)) << c.name;
    EXPECT_TRUE(fused.state.recordTypesValid) << c.name;
    EXPECT_TRUE(fused.state.recordLengthsValid) << c.name;
  }
}

}  // namespace
}  // namespace bs
