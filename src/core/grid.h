#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace bs {

// The window's grid of texts (StringGrid1) as data.  Cells are byte strings addressed by column
// and row, both from 0.  A cell in a column beyond the column count keeps its text but is not
// shown.  Rows are stored compactly (one packed buffer per row) so that a list of a million rows
// stays small.  Shrinking the row count drops the rows beyond it.
class Grid {
 public:
  Grid();

  int rowCount() const { return static_cast<int>(rows_.size()); }
  int colCount() const { return colCount_; }
  void setRowCount(int rows);
  void setColCount(int cols);

  // Width in pixels; 0 hides the column.  Columns never set have the default width.
  int colWidth(int col) const;
  void setColWidth(int col, int width);
  int defaultColWidth() const { return 40; }
  int defaultRowHeight() const { return 17; }

  // The text of a cell; empty for a cell never written.  The view is valid until the next write
  // to the same row or a change of the row count.
  std::string_view cell(int col, int row) const;
  void setCell(int col, int row, std::string_view text);
  void clearRow(int row);
  // The number of cells stored for a row (the highest written column + 1).
  int storedCells(int row) const;
  // Every stored cell of a row, in column order, into `cells` (emptied first), in one pass over
  // the row: for reading whole rows of a long list.  Views as for cell().
  void rowCells(int row, std::vector<std::string_view>& cells) const;

  // Writes `cells` into columns 0 to cells.size() - 1 of `row` in one step; later columns keep
  // their texts.  Grows the grid when the row does not exist yet.
  void setCells(int row, const std::vector<std::string_view>& cells);
  void setCells(int row, std::span<const std::string_view> cells);

 private:
  // Texts that many rows repeat (field names, messages) are kept once.  The pool only grows,
  // so copies of a grid share it; its texts never move.
  struct Pool {
    std::deque<std::string> texts;
    std::unordered_map<std::string_view, std::uint32_t> index;
    // For each of the first columns, the texts it was given last: a list repeats the same few
    // field names and messages row after row, found here without hashing them.
    static constexpr std::size_t kRecentColumns = 8, kRecentTexts = 8;
    std::uint32_t recent[kRecentColumns][kRecentTexts] = {};
    std::uint8_t recentNext[kRecentColumns] = {};
  };
  std::string pack(std::span<const std::string_view> cells);
  // The pool's id of a text of column `col`, adding it while there is room; -1 when it is full.
  std::int64_t poolId(std::size_t col, std::string_view text);
  std::vector<std::string_view> unpack(std::string_view data) const;
  void unpackInto(std::string_view data, std::vector<std::string_view>& cells) const;
  std::string_view pooled(std::size_t id) const { return pool_->texts[id]; }

  // Packed row: for each cell a header (LEB128) and then, when the header is even, its
  // header / 2 bytes; an odd header names the pooled text header / 2.
  std::vector<std::string> rows_;
  std::shared_ptr<Pool> pool_;
  int colCount_ = 2;
  std::vector<int> widths_;
};

}  // namespace bs
