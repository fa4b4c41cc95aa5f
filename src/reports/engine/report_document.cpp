#include "reports/engine/report_document.h"

#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <filesystem>

#include "core/failure.h"

namespace bs {

void ensureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The application object lives as long as the program; argc and argv must outlive it.
  static int argc = 1;
  static char name[] = "batchseal";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

QSizeF ReportDocument::pageSizeMm() const {
  return pageSizeMm(0);
}

QSizeF ReportDocument::pageSizeMm(int page) const {
  if (page < 0 || page >= pageCount()) return QSizeF(210, 297);
  return pages_[static_cast<std::size_t>(page)].sizeMm;
}

void ReportDocument::renderPage(QPainter& painter, int page) const {
  if (page < 0 || page >= pageCount()) return;
  const PreparedPage& p = pages_[static_cast<std::size_t>(page)];
  QPaintDevice* device = painter.device();
  if (!device) return;
  double sx = device->width() / p.sizeMm.width();
  double sy = device->height() / p.sizeMm.height();
  double pxPerMm = std::min(sx, sy);
  // Tenths of a millimetre as the painter's unit keeps integer font sizes precise enough.
  constexpr double kUnits = 10;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(pxPerMm / kUnits, pxPerMm / kUnits);
  painter.fillRect(QRectF(0, 0, p.sizeMm.width() * kUnits, p.sizeMm.height() * kUnits), Qt::white);
  QPen pen(Qt::black);
  pen.setWidthF(0.25 * kUnits);
  painter.setPen(pen);
  auto scaled = [&](const QRectF& r) {
    return QRectF(r.x() * kUnits, r.y() * kUnits, r.width() * kUnits, r.height() * kUnits);
  };
  for (const PageLine& l : p.lines)
    painter.drawLine(QLineF(l.line.p1() * kUnits, l.line.p2() * kUnits));
  for (const QRectF& b : p.boxes) painter.drawRect(scaled(b));
  for (const PageText& t : p.texts) {
    QFont font(t.family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(t.sizePt * 25.4 / 72 * kUnits))));
    font.setBold(t.bold);
    font.setItalic(t.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(font);
    QRectF r = scaled(t.rect);
    if (t.frame) painter.drawRect(r);
    QRectF inner = r.adjusted(0.8 * kUnits, 0, -0.8 * kUnits, 0);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= t.align == 1 ? Qt::AlignHCenter : t.align == 2 ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(inner, flags, t.text);
  }
  painter.restore();
}

void ReportDocument::writePdf(const std::string& path) const {
  ensureGuiApplication();
  std::string temporary = path + ".part";
  {
    QPdfWriter writer(QString::fromStdString(temporary));
    writer.setCreator("Batchseal");
    writer.setResolution(300);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(pageSizeMm(0), QPageSize::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) throw Failure("Cannot create file \"" + path + "\".");
    for (int i = 0; i < pageCount(); ++i) {
      if (i > 0) {
        writer.setPageSize(QPageSize(pageSizeMm(i), QPageSize::Millimeter));
        writer.newPage();
      }
      renderPage(painter, i);
    }
    painter.end();
  }
  // The finished file replaces an earlier one only when it was written whole.
  std::error_code ec;
  if (!std::filesystem::exists(temporary, ec))
    throw Failure("Cannot create file \"" + path + "\".");
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    throw Failure("Cannot create file \"" + path + "\".");
  }
}

std::vector<ReportDocument::Match> ReportDocument::find(const QString& needle) const {
  std::vector<Match> out;
  if (needle.isEmpty()) return out;
  for (int i = 0; i < pageCount(); ++i)
    for (const PageText& t : pages_[static_cast<std::size_t>(i)].texts)
      if (t.text.contains(needle, Qt::CaseInsensitive)) out.push_back({i, t.rect});
  return out;
}

QString ReportDocument::pageText(int page) const {
  QStringList texts;
  if (page >= 0 && page < pageCount())
    for (const PageText& t : pages_[static_cast<std::size_t>(page)].texts) texts << t.text;
  return texts.join('\n');
}

}  // namespace bs
