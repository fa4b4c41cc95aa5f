#include "app/grid_view.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "app/thai_text.h"

namespace bs::app {

Qt::Alignment cellAlignment(int col, int row) {
  if (col < 4 || row == 0) return Qt::AlignHCenter | Qt::AlignTop;
  return Qt::AlignLeft | Qt::AlignTop;
}

QRect cellTextRect(const QRect& cell) {
  return cell.adjusted(0, 2, -2, 0);
}

namespace {

void drawCellText(QPainter* painter, const QRect& cell, int col, int row, const QString& text,
                  const QColor& colour) {
  QRect area = cellTextRect(cell);
  painter->save();
  painter->setClipRect(area);
  painter->setPen(colour);
  painter->drawText(area, static_cast<int>(cellAlignment(col, row) | Qt::TextSingleLine), text);
  painter->restore();
}

}  // namespace

GridModel::GridModel(const Grid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(grid_.rowCount() - 1, 0);
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(grid_.colCount() - 1, 0);
}

QString GridModel::cellText(int col, int row) const {
  return drawnText(grid_.cell(col, row));
}

QString GridModel::drawnText(std::string_view bytes) {
  // One byte is one character in the code page, so the cut can be made before decoding.
  if (bytes.size() > static_cast<std::size_t>(kMaxDrawnChars))
    bytes = bytes.substr(0, kMaxDrawnChars);
  QString text = fromThai(bytes);
  // One line: a line break inside a cell is drawn as a blank.
  for (QChar& c : text)
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
  return text;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
    return cellText(index.column() + 1, index.row() + 1);
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(cellAlignment(index.column() + 1, index.row() + 1));
  return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  return orientation == Qt::Horizontal ? cellText(section + 1, 0) : cellText(0, section + 1);
}

void GridModel::refresh() {
  beginResetModel();
  endResetModel();
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette& pal = option.palette;
  painter->fillRect(option.rect, selected ? pal.highlight() : pal.base());
  drawCellText(painter, option.rect, index.column() + 1, index.row() + 1,
               index.data(Qt::DisplayRole).toString(),
               selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
}

FixedCellHeader::FixedCellHeader(Qt::Orientation orientation, GridModel* model, QWidget* parent)
    : QHeaderView(orientation, parent), model_(model) {
  setSectionsClickable(false);
  setHighlightSections(false);
  setMinimumSectionSize(0);
}

void FixedCellHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid()) return;
  const QPalette& pal = palette();
  painter->fillRect(rect, pal.button());
  // A raised fixed cell: light top and left, dark bottom and right.
  painter->setPen(pal.color(QPalette::Light));
  painter->drawLine(rect.topLeft(), rect.topRight());
  painter->drawLine(rect.topLeft(), rect.bottomLeft());
  painter->setPen(pal.color(QPalette::Dark));
  painter->drawLine(rect.bottomLeft(), rect.bottomRight());
  painter->drawLine(rect.topRight(), rect.bottomRight());
  int col = orientation() == Qt::Horizontal ? logicalIndex + 1 : 0;
  int row = orientation() == Qt::Horizontal ? 0 : logicalIndex + 1;
  drawCellText(painter, rect, col, row, model_->cellText(col, row),
               pal.color(QPalette::ButtonText));
}

GridView::GridView(const Grid& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new GridModel(grid, this)) {
  setModel(model_);
  top_ = new FixedCellHeader(Qt::Horizontal, model_, this);
  left_ = new FixedCellHeader(Qt::Vertical, model_, this);
  setHorizontalHeader(top_);
  setVerticalHeader(left_);
  setItemDelegate(new CellDelegate(this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  top_->setSectionResizeMode(QHeaderView::Interactive);
  top_->setDefaultSectionSize(grid.defaultColWidth());
  left_->setSectionResizeMode(QHeaderView::Fixed);
  refresh();
}

std::vector<int> contentWidths(const Grid& grid, const QFontMetrics& metrics) {
  // The widest text of a column is among its longest in bytes (a Thai mark takes a byte but no
  // width), so only the few longest cells of each column are measured, however long the list.
  constexpr std::size_t kMeasured = 24;
  const int cols = grid.colCount();
  std::vector<std::vector<std::pair<std::size_t, std::pair<int, int>>>> longest(
      static_cast<std::size_t>(cols));
  std::vector<std::string_view> cells;
  for (int r = 0; r < grid.rowCount(); ++r) {
    grid.rowCells(r, cells);
    for (int c = 0; c < cols && c < static_cast<int>(cells.size()); ++c) {
      auto& top = longest[static_cast<std::size_t>(c)];
      const std::size_t length = cells[static_cast<std::size_t>(c)].size();
      if (length == 0 || (top.size() == kMeasured && length <= top.front().first)) continue;
      auto shorter = [](const auto& a, const auto& b) { return a.first > b.first; };
      if (top.size() == kMeasured) {
        std::pop_heap(top.begin(), top.end(), shorter);
        top.pop_back();
      }
      top.push_back({length, {c, r}});
      std::push_heap(top.begin(), top.end(), shorter);
    }
  }
  std::vector<int> widths(static_cast<std::size_t>(cols), 0);
  for (const auto& top : longest)
    for (const auto& [length, at] : top) {
      const auto [c, r] = at;
      const QString text = GridModel::drawnText(grid.cell(c, r));
      int& w = widths[static_cast<std::size_t>(c)];
      w = std::max(w, metrics.horizontalAdvance(text) + kCellPadding);
    }
  return widths;
}

int rowHeightFor(const QFontMetrics& metrics, int designHeight) {
  // Room for the marks above and below a Thai line as well as for the line itself.
  const QRect marks = metrics.boundingRect(QString::fromUtf16(u"\u0E1B\u0E31\u0E49\u0E0E\u0E39"));
  const int above = std::max(metrics.ascent(), -marks.top());
  const int below = std::max(metrics.descent(), marks.bottom() + 1);
  return std::max(designHeight, cellTextRect(QRect(0, 0, 1, 1)).top() + above + below + 1);
}

void GridView::refresh() {
  model_->refresh();
  // Columns are at least as wide as the list lays them out and wider where their texts need it
  // in the font in use; what the grid holds keeps the list's widths.
  const QFontMetrics metrics(font());
  const std::vector<int> needed = contentWidths(grid_, metrics);
  auto shownWidth = [&](int c) {
    return std::min(kMaxColumnWidth,
                    std::max(grid_.colWidth(c), needed[static_cast<std::size_t>(c)]));
  };
  for (int c = 1; c < grid_.colCount(); ++c) {
    int w = grid_.colWidth(c);
    top_->setSectionHidden(c - 1, w <= 0);
    if (w > 0) top_->resizeSection(c - 1, shownWidth(c));
  }
  int w0 = grid_.colWidth(0);
  left_->setVisible(w0 > 0);
  left_->setFixedWidth(w0 > 0 ? shownWidth(0) : 0);
  top_->setVisible(grid_.rowCount() > 0);
  const int rowHeight = rowHeightFor(metrics, grid_.defaultRowHeight());
  top_->setFixedHeight(rowHeight);
  left_->setDefaultSectionSize(rowHeight);
}

}  // namespace bs::app
