#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QRect>
#include <QStyledItemDelegate>
#include <QTableView>
#include <string_view>
#include <vector>

class QFontMetrics;

#include "core/grid.h"

namespace bs::app {

// How StringGrid1 draws a cell: columns 0 to 3 and row 0 centred, the others from the cell's left
// edge without a margin; the text sits in the cell with its top edge 2 pixels down and its right
// edge 2 pixels in, on one line, clipped, at most 512 characters.
constexpr int kMaxDrawnChars = 512;
Qt::Alignment cellAlignment(int col, int row);
QRect cellTextRect(const QRect& cell);

// The width each column's texts need in `metrics`' font, text and cell margins included: the
// view shows a column at least this wide (0 for a column without text).
constexpr int kCellPadding = 8;
constexpr int kMaxColumnWidth = 2000;
std::vector<int> contentWidths(const Grid& grid, const QFontMetrics& metrics);
// A row height that holds a Thai line with its marks above and below, at least `designHeight`.
int rowHeightFor(const QFontMetrics& metrics, int designHeight);

// The Form's grid for a QTableView.  Row 0 and column 0 are the grid's fixed cells; they are
// shown as the view's headers, so they stay in place while the rest scrolls.  Model row r is
// grid row r + 1, model column c is grid column c + 1.  Cells are decoded when they are drawn.
class GridModel : public QAbstractTableModel {
 public:
  explicit GridModel(const Grid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The grid changed as a whole (after a command).
  void refresh();
  // The text of a grid cell as the window draws it.
  QString cellText(int col, int row) const;
  static QString drawnText(std::string_view bytes);

 private:
  const Grid& grid_;
};

// Paints the data cells by the rules above.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

// Paints the fixed row and column by the same rules.
class FixedCellHeader : public QHeaderView {
 public:
  FixedCellHeader(Qt::Orientation orientation, GridModel* model, QWidget* parent);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  GridModel* model_;
};

// StringGrid1: the view, its headers and its model, laid out from the Form's grid.
class GridView : public QTableView {
 public:
  GridView(const Grid& grid, QWidget* parent = nullptr);
  // Takes over the column count, the row count and the column widths of the grid.
  void refresh();
  GridModel* gridModel() const { return model_; }

 private:
  const Grid& grid_;
  GridModel* model_;
  FixedCellHeader* top_;
  FixedCellHeader* left_;
};

}  // namespace bs::app
