#include "core/grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bs {
namespace {

// Long texts that many rows repeat are kept once; what a cell reads back must not depend on
// whether its text was kept inline or once for the grid.
TEST(Grid, CellsReadBackWhateverTheirLength) {
  const std::string longText = "If this field have value it should be N,F,S or E";
  const std::string binary("\x00\xCA\x1A\r\n long enough text", 23);
  struct Case {
    const char* name;
    std::vector<std::string> cells;
  };
  const std::vector<Case> cases = {
      {"short and long", {"1", "003", longText, "", "1234567890"}},
      {"the same long text twice in a row", {longText, longText, longText}},
      {"bytes of any value", {binary, "", binary}},
      {"long texts just at and below the pooled length", {"123456789012", "12345678901"}},
  };
  Grid g;
  int row = 1;
  for (const auto& c : cases) {
    std::vector<std::string_view> views(c.cells.begin(), c.cells.end());
    g.setCells(row, views);
    for (std::size_t k = 0; k < c.cells.size(); ++k)
      EXPECT_EQ(g.cell(static_cast<int>(k), row), c.cells[k]) << c.name << " col " << k;
    ++row;
  }
  // Overwriting one cell keeps the others, pooled or not.
  g.setCell(1, 1, "replaced");
  EXPECT_EQ(g.cell(0, 1), "1");
  EXPECT_EQ(g.cell(1, 1), "replaced");
  EXPECT_EQ(g.cell(2, 1), longText);
  EXPECT_EQ(g.storedCells(1), 5);
  // A cell written from a text the grid itself holds.
  g.setCell(7, 2, g.cell(0, 2));
  EXPECT_EQ(g.cell(7, 2), longText);
}

TEST(Grid, CopiesAndManyDistinctTextsStayIntact) {
  Grid g;
  // More distinct long texts than the grid keeps once: the rest are stored inline.
  const int rows = 70000;
  for (int r = 0; r < rows; ++r) {
    const std::string text = "distinct payee name " + std::to_string(r);
    g.setCells(r, {std::to_string(r), text, "Currency should be THB and more"});
  }
  Grid copy = g;
  g.setCells(0, {"0", "changed after the copy"});
  for (int r : {0, 1, 65535, 65536, rows - 1}) {
    const std::string text = "distinct payee name " + std::to_string(r);
    EXPECT_EQ(copy.cell(1, r), text) << r;
    EXPECT_EQ(copy.cell(2, r), "Currency should be THB and more") << r;
  }
  EXPECT_EQ(g.cell(1, 0), "changed after the copy");
  EXPECT_EQ(g.cell(1, rows - 1), "distinct payee name " + std::to_string(rows - 1));
}

// A list repeats a few messages per column, often from one buffer rewritten between rows: a
// text must read back as written whether the grid met it in that column lately or not.
TEST(Grid, RepeatedAndRewrittenTextsOfAColumnReadBackAsWritten) {
  std::vector<std::string> messages;
  for (int m = 0; m < 11; ++m)  // more than the grid remembers per column, all of one length
    messages.push_back("Message number " + std::to_string(m % 10) +
                       (m < 10 ? " of ten" : " !!!!!!"));
  Grid g;
  std::string buffer;  // one buffer, rewritten for every row
  std::vector<std::string> expected;
  const int rows = 400;
  for (int r = 0; r < rows; ++r) {
    buffer = messages[static_cast<std::size_t>((r * 7 + r / 13) % 11)];
    expected.push_back(buffer);
    const std::string number = std::to_string(r);
    std::vector<std::string_view> cells{number, "003", buffer, buffer, "short"};
    g.setCells(r, cells);
  }
  for (int r = 0; r < rows; ++r) {
    EXPECT_EQ(g.cell(2, r), expected[static_cast<std::size_t>(r)]) << r;
    EXPECT_EQ(g.cell(3, r), expected[static_cast<std::size_t>(r)]) << r;
    std::vector<std::string_view> read;
    g.rowCells(r, read);
    ASSERT_EQ(read.size(), 5u);
    EXPECT_EQ(read[2], expected[static_cast<std::size_t>(r)]);
    EXPECT_EQ(read[4], "short");
  }
}

}  // namespace
}  // namespace bs
