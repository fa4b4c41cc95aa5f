#include "app/grid_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>

#include "core/error_list.h"
#include "core/form.h"

namespace bs::app {
namespace {

TEST(GridCells, ColumnsZeroToThreeAndRowZeroAreCentred) {
  struct Case {
    int col, row;
    bool centred;
  };
  const std::vector<Case> cases = {{0, 0, true},  {3, 5, true},  {4, 0, true}, {7, 0, true},
                                   {4, 1, false}, {7, 9, false}, {0, 9, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
    Qt::Alignment a = cellAlignment(c.col, c.row);
    EXPECT_EQ(bool(a & Qt::AlignHCenter), c.centred);
    EXPECT_EQ(bool(a & Qt::AlignLeft), !c.centred);
    EXPECT_TRUE(a & Qt::AlignTop);
  }
  EXPECT_EQ(cellTextRect(QRect(10, 20, 100, 17)), QRect(10, 22, 98, 15));
}

// Where the ink of a cell drawn by the delegate begins.
QRect inkOf(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
  return ink;
}

TEST(GridCells, DrawnTextStartsTwoPixelsDownAndLeftCellsHaveNoMargin) {
  Form form;
  setUpErrorList(form);
  addError(form, "002", "2", "73-78", "No.of Credit", "MMMM");
  GridModel model(form.StringGrid1);
  CellDelegate delegate;
  struct Case {
    int modelCol;  // grid column - 1
    bool centred;
  };
  for (const Case& c : {Case{4, false}, Case{2, true}}) {
    SCOPED_TRACE(c.modelCol);
    QImage image(200, 17, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 200, 17);
    option.palette.setColor(QPalette::Base, Qt::white);
    option.palette.setColor(QPalette::Text, Qt::black);
    delegate.paint(&painter, option, model.index(0, c.modelCol));
    painter.end();
    QRect ink = inkOf(image);
    ASSERT_TRUE(ink.isValid());
    EXPECT_GE(ink.top(), 2);
    if (c.centred)
      EXPECT_NEAR(ink.center().x(), 99, 4);
    else
      EXPECT_LE(ink.left(), 2);
    EXPECT_LE(ink.right(), 197);
  }
}

TEST(GridModelTest, FixedRowAndColumnAreTheHeadersAndLongCellsAreCut) {
  Form form;
  setUpErrorList(form);
  addErrorWithParty(form, "003", "7", "4-9", "Account", "msg", "123", "\xA1\xA2");
  form.StringGrid1.setCell(5, 1, std::string(600, 'x'));
  form.StringGrid1.setCell(9, 1, "beyond the column count");
  GridModel model(form.StringGrid1);
  EXPECT_EQ(model.rowCount(), 2) << "one data row and the final empty row";
  EXPECT_EQ(model.columnCount(), 7);
  EXPECT_EQ(model.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), "Message");
  EXPECT_EQ(model.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "1");
  EXPECT_EQ(model.data(model.index(0, 6), Qt::DisplayRole).toString(),
            QString::fromUtf16(u"\u0E01\u0E02"));
  EXPECT_EQ(model.data(model.index(0, 4), Qt::DisplayRole).toString().size(), kMaxDrawnChars);
}

TEST(GridViewTest, ColumnWidthsComeFromTheFormGrowWithTheirTextsAndZeroHides) {
  Form form;
  setUpErrorList(form);
  form.StringGrid1.setColWidth(3, 0);
  GridView view(form.StringGrid1);
  view.refresh();
  EXPECT_EQ(view.horizontalHeader()->sectionSize(4), 550);  // Message
  EXPECT_TRUE(view.horizontalHeader()->isSectionHidden(2));
  EXPECT_EQ(view.verticalHeader()->width(), 40);

  // A long list: its numbers and accounts are shown whole; the list's widths stay as they were.
  Grid& g = form.StringGrid1;
  g.setRowCount(1);
  g.setCells(1, std::vector<std::string_view>{"1", "003", "267914", "1-3", "F", "M", "1234567890"});
  g.setCells(200001, std::vector<std::string_view>{"200001", "003", "9", "1-3", "F", "M", ""});
  g.setRowCount(200003);
  view.refresh();
  const QFontMetrics metrics(view.font());
  for (int col : {0, 2, 6}) {
    const int shown =
        col == 0 ? view.verticalHeader()->width() : view.horizontalHeader()->sectionSize(col - 1);
    EXPECT_GE(shown,
              metrics.horizontalAdvance(view.gridModel()->cellText(col, col == 0 ? 200001 : 1)))
        << "column " << col;
  }
  EXPECT_EQ(view.horizontalHeader()->sectionSize(4), 550);
  EXPECT_EQ(g.colWidth(2), 35);
  // Rows hold a Thai line with marks above and below.
  EXPECT_GE(view.verticalHeader()->defaultSectionSize(),
            std::max(17, metrics.height() + cellTextRect(QRect(0, 0, 9, 9)).top()));
}

}  // namespace
}  // namespace bs::app
