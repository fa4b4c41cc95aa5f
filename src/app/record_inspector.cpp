#include "app/record_inspector.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/thai_text.h"
#include "core/failure.h"

namespace bs::app {

namespace {

const QColor kFaultColour(255, 205, 205);
const QColor kOtherColour(255, 236, 179);

QFont monoFont() {
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setPixelSize(13);
  return f;
}

QString headline(const RecordView& v) {
  QString s = QStringLiteral("Line %1  \u2014  ").arg(v.line);
  if (v.typeName.empty())
    s += QStringLiteral("unknown record type \u201C%1\u201D")
             .arg(QString::fromStdString(visibleText(v.recordType)));
  else
    s += QStringLiteral("%1 record (%2)")
             .arg(QString::fromLatin1(v.typeName.data(), static_cast<qsizetype>(v.typeName.size())),
                  QString::fromStdString(v.recordType));
  s += QStringLiteral("  \u2014  %1 characters").arg(v.length);
  return s;
}

// A fault of the same line as the row shown: its columns and message.
struct LineFault {
  std::size_t first = 0, last = 0;
  QString message;
};

}  // namespace

RulerLine::RulerLine(QWidget* parent) : QWidget(parent) {
  setFont(monoFont());
  const QFontMetrics m(font());
  cellWidth_ = std::max(m.horizontalAdvance(QLatin1Char('0')), 6) + 1;
  rowHeight_ = m.height() + 4;
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void RulerLine::show(const RecordView& v, std::vector<std::pair<std::size_t, std::size_t>> others) {
  cells_.clear();
  for (char c : v.text)
    cells_.push_back(QString::fromStdString(visibleText(std::string_view(&c, 1))));
  // A line longer than any record is held only in part: the ruler ends with what is held.
  columns_ = std::max(v.text.size(), v.expectedLength);
  markFirst_ = std::min(v.markFirst, columns_);
  markLast_ = std::min(v.markLast, columns_);
  others_ = std::move(others);
  updateGeometry();
  resize(sizeHint());
  update();
}

QSize RulerLine::sizeHint() const {
  return {columnX(columns_ + 1) + 8, rowHeight_ * 3 + 6};
}

int RulerLine::columnX(std::size_t column) const {
  return 4 + static_cast<int>(column > 0 ? column - 1 : 0) * cellWidth_;
}

void RulerLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  const int textTop = rowHeight_ * 2;
  auto band = [&](std::size_t first, std::size_t last, const QColor& colour) {
    if (!first) return;
    p.fillRect(columnX(first), rowHeight_, static_cast<int>(last - first + 1) * cellWidth_,
               rowHeight_ * 2 + 2, colour);
  };
  for (const auto& [first, last] : others_) band(first, last, kOtherColour);
  band(markFirst_, markLast_, kFaultColour);
  p.setPen(palette().color(QPalette::Text));
  for (std::size_t c = 1; c <= columns_; ++c) {
    const int x = columnX(c);
    const int tick = c % 10 == 0 ? 8 : c % 5 == 0 ? 5 : 2;
    p.drawLine(x + cellWidth_ / 2, rowHeight_ * 2 - tick, x + cellWidth_ / 2, rowHeight_ * 2 - 1);
    if (c % 10 == 0)
      p.drawText(x, 0, cellWidth_ * 6, rowHeight_, Qt::AlignLeft, QString::number(c));
    if (c <= cells_.size())
      p.drawText(x, textTop, cellWidth_, rowHeight_, Qt::AlignCenter, cells_[c - 1]);
  }
  if (columns_ > cells_.size()) {
    // Beyond the line's end: the columns its type still expects.
    p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    p.drawLine(columnX(cells_.size() + 1), textTop + rowHeight_ - 2, columnX(columns_ + 1),
               textTop + rowHeight_ - 2);
  }
}

RecordInspector::RecordInspector(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName(QStringLiteral("RecordInspector"));
  setWindowTitle(QStringLiteral("Record"));
  auto* layout = new QVBoxLayout(this);
  title_ = new QLabel(this);
  QFont bold = title_->font();
  bold.setBold(true);
  bold.setPixelSize(14);
  title_->setFont(bold);
  problem_ = new QLabel(this);
  problem_->setWordWrap(true);
  QPalette red = problem_->palette();
  red.setColor(QPalette::WindowText, QColor(180, 0, 0));
  problem_->setPalette(red);
  fields_ = new QTableWidget(0, 4, this);
  fields_->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Columns"),
                                      QStringLiteral("Value"), QStringLiteral("Fault")});
  fields_->verticalHeader()->setVisible(false);
  fields_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fields_->setSelectionMode(QAbstractItemView::NoSelection);
  fields_->setWordWrap(false);
  fields_->setTextElideMode(Qt::ElideRight);
  fields_->horizontalHeader()->setStretchLastSection(true);
  fields_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 8);
  ruler_ = new RulerLine;
  rulerScroll_ = new QScrollArea(this);
  rulerScroll_->setWidget(ruler_);
  rulerScroll_->setWidgetResizable(false);
  rulerScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rulerScroll_->setFixedHeight(ruler_->sizeHint().height() +
                               rulerScroll_->horizontalScrollBar()->sizeHint().height() + 4);
  layout->addWidget(title_);
  layout->addWidget(problem_);
  layout->addWidget(fields_, 1);
  layout->addWidget(rulerScroll_);
}

void RecordInspector::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    hide();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool RecordInspector::showRow(const Session& session, int row) {
  const Grid& grid = session.form.StringGrid1;
  const auto ref = gridRecordRef(grid, row);
  if (!ref || session.state.checkedPath.empty()) return false;
  std::optional<RecordView> read;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QString failure;
  try {
    read = recordViewOfRow(session.state, grid, row);
  } catch (const Failure& e) {
    failure = fromPath(e.message());
  }
  QApplication::restoreOverrideCursor();
  if (!read && failure.isEmpty()) return false;

  markedRow_ = -1;
  otherRows_.clear();
  fields_->setRowCount(0);
  if (!read || !read->shown()) {
    title_->setText(QStringLiteral("Line %1").arg(ref->line));
    problem_->setText(read ? fromPath(read->problem) : failure);
    problem_->show();
    fields_->hide();
    rulerScroll_->hide();
    setWindowTitle(QStringLiteral("Record \u2014 line %1").arg(ref->line));
    return true;
  }
  const RecordView& v = *read;
  title_->setText(headline(v));
  setWindowTitle(QStringLiteral("Record \u2014 line %1").arg(v.line));
  if (v.typeName.empty()) {
    problem_->setText(
        QStringLiteral("Columns 1-3 hold no known record type: the line cannot be "
                       "cut into fields."));
  } else if (v.lengthWrong()) {
    problem_->setText(
        QStringLiteral("The line is %1 characters long; a %2 record has %3.")
            .arg(v.length)
            .arg(QString::fromLatin1(v.typeName.data(), static_cast<qsizetype>(v.typeName.size())))
            .arg(v.expectedLength));
  } else {
    problem_->clear();
  }
  problem_->setVisible(!problem_->text().isEmpty());

  // Every row of the list on this line, the one shown included.
  std::vector<LineFault> faults;
  for (int r = 1; r < grid.rowCount(); ++r) {
    const auto other = gridRecordRef(grid, r);
    if (!other || other->line != v.line) continue;
    LineFault f;
    if (!parseColumnRange(other->columns, f.first, f.last)) continue;
    if (grid.colCount() > 5) f.message = fromThai(grid.cell(5, r));
    if (r == row)
      faults.insert(faults.begin(), f);
    else
      faults.push_back(f);
  }
  std::vector<std::pair<std::size_t, std::size_t>> others;
  for (std::size_t i = 1; i < faults.size(); ++i)
    if (faults[i].first != v.markFirst || faults[i].last != v.markLast)
      others.emplace_back(faults[i].first, faults[i].last);

  fields_->setRowCount(static_cast<int>(v.fields.size()));
  const QFont mono = monoFont();
  for (std::size_t i = 0; i < v.fields.size(); ++i) {
    const auto& f = v.fields[i];
    const int r = static_cast<int>(i);
    QStringList messages;
    bool other = false;
    for (std::size_t k = 0; k < faults.size(); ++k)
      if (faults[k].first >= f.layout.first && faults[k].first <= f.layout.last) {
        if (!messages.contains(faults[k].message)) messages << faults[k].message;
        if (k > 0 && r != v.markedField) other = true;
      }
    auto* name = new QTableWidgetItem(
        QString::fromLatin1(f.layout.name.data(), static_cast<qsizetype>(f.layout.name.size())));
    auto* columns =
        new QTableWidgetItem(QStringLiteral("%1-%2").arg(f.layout.first).arg(f.layout.last));
    auto* value = new QTableWidgetItem(f.layout.first > v.length
                                           ? QStringLiteral("(past the end of the line)")
                                           : QString::fromStdString(visibleText(f.value)));
    value->setFont(mono);
    value->setToolTip(value->text());
    auto* fault = new QTableWidgetItem(messages.join(QStringLiteral("; ")));
    QTableWidgetItem* items[] = {name, columns, value, fault};
    for (int c = 0; c < 4; ++c) {
      if (r == v.markedField) {
        items[c]->setBackground(kFaultColour);
        QFont b = items[c]->font();
        if (c == 2) b = mono;
        b.setBold(true);
        items[c]->setFont(b);
      } else if (other) {
        items[c]->setBackground(kOtherColour);
      }
      fields_->setItem(r, c, items[c]);
    }
    if (other) otherRows_.push_back(r);
  }
  markedRow_ = v.markedField;
  fields_->resizeColumnToContents(0);
  fields_->resizeColumnToContents(1);
  fields_->setColumnWidth(2, std::min(fields_->columnWidth(2), 420));
  fields_->resizeColumnToContents(2);
  fields_->setColumnWidth(2, std::min(fields_->columnWidth(2), 420));
  if (markedRow_ >= 0)
    fields_->scrollToItem(fields_->item(markedRow_, 0), QAbstractItemView::PositionAtCenter);
  // An unknown type has no fields to list: the line under its ruler is all there is.
  fields_->setVisible(!v.fields.empty());

  ruler_->show(v, std::move(others));
  rulerScroll_->show();
  if (v.markFirst)
    rulerScroll_->ensureVisible(ruler_->columnX(v.markFirst), 0, rulerScroll_->width() / 3, 0);
  else
    rulerScroll_->horizontalScrollBar()->setValue(0);
  return true;
}

QString RecordInspector::markedField() const {
  if (markedRow_ < 0 || !fields_->item(markedRow_, 0)) return {};
  return fields_->item(markedRow_, 0)->text();
}

std::vector<QString> RecordInspector::otherFaultFields() const {
  std::vector<QString> names;
  for (int r : otherRows_) names.push_back(fields_->item(r, 0)->text());
  return names;
}

QString RecordInspector::problem() const {
  return problem_->isHidden() ? QString() : problem_->text();
}

}  // namespace bs::app
