#include "app/grid_view.h"

#include <QPainter>

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
  std::string_view bytes = grid_.cell(col, row);
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
  top_->setFixedHeight(grid.defaultRowHeight());
  left_->setSectionResizeMode(QHeaderView::Fixed);
  left_->setDefaultSectionSize(grid.defaultRowHeight());
  refresh();
}

void GridView::refresh() {
  model_->refresh();
  for (int c = 1; c < grid_.colCount(); ++c) {
    int w = grid_.colWidth(c);
    top_->setSectionHidden(c - 1, w <= 0);
    if (w > 0) top_->resizeSection(c - 1, w);
  }
  int w0 = grid_.colWidth(0);
  left_->setVisible(w0 > 0);
  left_->setFixedWidth(std::max(w0, 0));
  top_->setVisible(grid_.rowCount() > 0);
}

}  // namespace bs::app
