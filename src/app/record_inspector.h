#pragma once

#include <QWidget>

#include <cstddef>
#include <utility>
#include <vector>

#include "commands/record_view.h"
#include "core/session.h"

class QLabel;
class QScrollArea;
class QTableWidget;

namespace bs::app {

// The line of a record under a column ruler, one byte a cell, with the faulty columns in red and
// the columns of other faults of the same line in amber.
class RulerLine : public QWidget {
 public:
  explicit RulerLine(QWidget* parent = nullptr);
  void show(const RecordView& view, std::vector<std::pair<std::size_t, std::size_t>> others);
  QSize sizeHint() const override;
  // The x position of a column's cell.
  int columnX(std::size_t column) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<QString> cells_;
  std::size_t columns_ = 0, markFirst_ = 0, markLast_ = 0;
  std::vector<std::pair<std::size_t, std::size_t>> others_;
  int cellWidth_ = 8, rowHeight_ = 16;
};

// The record behind an error row: a window of its own beside the main window that never blocks
// it.  It shows the line number, the record type, the fields of the record with the faulty one
// marked, and the raw line under a column ruler.  The line is read from the payment file each
// time a row is shown; nothing of the file is kept.  Escape closes it.
class RecordInspector : public QWidget {
 public:
  explicit RecordInspector(QWidget* parent);

  // Shows the record of grid row `row` of the session's grid; false (and nothing changes) when
  // the row names no line of a payment file.
  bool showRow(const Session& session, int row);

  // What is shown, for tests: the name of the marked field (empty for none), the names of the
  // fields other faults of the same line fall on, and the problem text.
  QString markedField() const;
  std::vector<QString> otherFaultFields() const;
  QString problem() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* title_;
  QLabel* problem_;
  QTableWidget* fields_;
  QScrollArea* rulerScroll_;
  RulerLine* ruler_;
  int markedRow_ = -1;
  std::vector<int> otherRows_;
};

}  // namespace bs::app
