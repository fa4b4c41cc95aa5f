#include "core/grid.h"

#include <algorithm>

namespace bs {

namespace {

std::size_t readLength(std::string_view data, std::size_t& pos) {
  std::size_t value = 0;
  int shift = 0;
  while (pos < data.size()) {
    auto b = static_cast<unsigned char>(data[pos++]);
    value |= static_cast<std::size_t>(b & 0x7F) << shift;
    if ((b & 0x80) == 0) break;
    shift += 7;
  }
  return value;
}

void writeLength(std::string& out, std::size_t n) {
  do {
    auto b = static_cast<unsigned char>(n & 0x7F);
    n >>= 7;
    if (n != 0) b |= 0x80;
    out.push_back(static_cast<char>(b));
  } while (n != 0);
}

// Texts at least this long are pooled, up to this many different ones; shorter texts (numbers,
// line numbers, accounts) are cheaper inline.
constexpr std::size_t kPooledLength = 12;
constexpr std::size_t kPoolLimit = 1 << 16;

}  // namespace

std::vector<std::string_view> Grid::unpack(std::string_view data) const {
  std::vector<std::string_view> cells;
  unpackInto(data, cells);
  return cells;
}

void Grid::unpackInto(std::string_view data, std::vector<std::string_view>& cells) const {
  cells.clear();
  std::size_t pos = 0;
  while (pos < data.size()) {
    std::size_t h = readLength(data, pos);
    if (h & 1) {
      cells.push_back(pooled(h >> 1));
    } else {
      cells.push_back(data.substr(pos, h >> 1));
      pos += h >> 1;
    }
  }
}

std::int64_t Grid::poolId(std::size_t col, std::string_view text) {
  Pool& pool = *pool_;
  const bool remembered = col < Pool::kRecentColumns;
  if (remembered) {
    for (std::uint32_t id : pool.recent[col])
      if (id < pool.texts.size() && pool.texts[id] == text) return id;
  }
  auto found = pool.index.find(text);
  if (found == pool.index.end()) {
    if (pool.texts.size() >= kPoolLimit) return -1;
    const auto id = static_cast<std::uint32_t>(pool.texts.size());
    pool.texts.emplace_back(text);
    found = pool.index.emplace(pool.texts.back(), id).first;
  }
  if (remembered) {
    std::uint8_t& next = pool.recentNext[col];
    pool.recent[col][next] = found->second;
    next = static_cast<std::uint8_t>((next + 1) % Pool::kRecentTexts);
  }
  return found->second;
}

std::string Grid::pack(std::span<const std::string_view> cells) {
  std::size_t last = cells.size();
  while (last > 0 && cells[last - 1].empty()) --last;  // trailing empty cells are not stored
  std::int64_t ids[16];
  std::size_t size = 0;
  for (std::size_t i = 0; i < last; ++i) {
    const std::string_view text = cells[i];
    std::int64_t id = text.size() >= kPooledLength ? poolId(i, text) : -1;
    if (i < std::size(ids)) ids[i] = id;
    size += id >= 0 ? 3 : 3 + text.size();
  }
  std::string out;
  out.reserve(size);
  for (std::size_t i = 0; i < last; ++i) {
    const std::string_view text = cells[i];
    const std::int64_t id = i < std::size(ids)             ? ids[i]
                            : text.size() >= kPooledLength ? poolId(i, text)
                                                           : -1;
    if (id >= 0) {
      writeLength(out, (static_cast<std::size_t>(id) << 1) | 1);
      continue;
    }
    writeLength(out, text.size() << 1);
    out.append(text);
  }
  return out;
}

Grid::Grid() : rows_(2), pool_(std::make_shared<Pool>()), widths_{40, 122} {}

void Grid::setRowCount(int rows) {
  rows_.resize(static_cast<std::size_t>(std::max(rows, 0)));
}

void Grid::setColCount(int cols) {
  colCount_ = std::max(cols, 0);
}

int Grid::colWidth(int col) const {
  if (col < 0) return 0;
  auto c = static_cast<std::size_t>(col);
  return c < widths_.size() ? widths_[c] : defaultColWidth();
}

void Grid::setColWidth(int col, int width) {
  if (col < 0) return;
  auto c = static_cast<std::size_t>(col);
  if (c >= widths_.size()) widths_.resize(c + 1, defaultColWidth());
  widths_[c] = width;
}

std::string_view Grid::cell(int col, int row) const {
  if (row < 0 || row >= rowCount() || col < 0) return {};
  std::string_view data = rows_[static_cast<std::size_t>(row)];
  std::size_t pos = 0;
  for (int i = 0; pos < data.size(); ++i) {
    const std::size_t h = readLength(data, pos);
    if (h & 1) {
      if (i == col) return pooled(h >> 1);
      continue;
    }
    if (i == col) return data.substr(pos, h >> 1);
    pos += h >> 1;
  }
  return {};
}

void Grid::setCell(int col, int row, std::string_view text) {
  if (col < 0 || row < 0) return;
  if (row >= rowCount()) rows_.resize(static_cast<std::size_t>(row) + 1);
  std::string& packed = rows_[static_cast<std::size_t>(row)];
  std::string old = packed;  // the views below point into the old buffer
  std::vector<std::string_view> cells = unpack(old);
  if (cells.size() <= static_cast<std::size_t>(col))
    cells.resize(static_cast<std::size_t>(col) + 1);
  cells[static_cast<std::size_t>(col)] = text;
  packed = pack(cells);
}

void Grid::clearRow(int row) {
  if (row >= 0 && row < rowCount()) rows_[static_cast<std::size_t>(row)].clear();
}

int Grid::storedCells(int row) const {
  if (row < 0 || row >= rowCount()) return 0;
  return static_cast<int>(unpack(rows_[static_cast<std::size_t>(row)]).size());
}

void Grid::rowCells(int row, std::vector<std::string_view>& cells) const {
  if (row < 0 || row >= rowCount()) {
    cells.clear();
    return;
  }
  unpackInto(rows_[static_cast<std::size_t>(row)], cells);
}

void Grid::setCells(int row, const std::vector<std::string_view>& cells) {
  setCells(row, std::span<const std::string_view>(cells));
}

void Grid::setCells(int row, std::span<const std::string_view> cells) {
  if (row < 0) return;
  if (row >= rowCount()) rows_.resize(static_cast<std::size_t>(row) + 1);
  std::string& packed = rows_[static_cast<std::size_t>(row)];
  if (packed.empty()) {
    packed = pack(cells);
    return;
  }
  std::string old = packed;
  std::vector<std::string_view> merged = unpack(old);
  if (merged.size() < cells.size()) merged.resize(cells.size());
  std::copy(cells.begin(), cells.end(), merged.begin());
  packed = pack(merged);
}

}  // namespace bs
