#include "reports/engine/report_document.h"

#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string_view>

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

namespace {
constexpr std::string_view kNotStarted = "The printer or file could not be started.";
}  // namespace

int ReportDocument::pageCount() const {
  return source_ ? source_->pageCount() : static_cast<int>(pages_.size());
}

QSizeF ReportDocument::pageSizeMm() const {
  return pageSizeMm(0);
}

QSizeF ReportDocument::pageSizeMm(int page) const {
  if (page < 0 || page >= pageCount()) return QSizeF(210, 297);
  return source_ ? source_->pageSizeMm(page) : pages_[static_cast<std::size_t>(page)].sizeMm;
}

QPageLayout ReportDocument::pageLayout(int page) const {
  QSizeF mm = pageSizeMm(page);
  // The paper is named by its portrait size (a landscape A4 page is A4 turned), so that a
  // printer feeds the right sheet and turns the page rather than shrinking it.
  QSizeF portrait(std::min(mm.width(), mm.height()), std::max(mm.width(), mm.height()));
  QPageSize paper(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
  return QPageLayout(paper,
                     mm.width() > mm.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

PreparedPage ReportDocument::page(int page) const {
  if (page < 0 || page >= pageCount()) return {};
  return source_ ? source_->layOut(page) : pages_[static_cast<std::size_t>(page)];
}

void ReportDocument::renderPage(QPainter& painter, int page) const {
  if (page < 0 || page >= pageCount()) return;
  paintPage(painter, this->page(page));
}

void ReportDocument::paintPage(QPainter& painter, const PreparedPage& p) {
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
  // A page uses a handful of fonts over and over.
  struct Used {
    const PageText* like;
    int pixels;
    QFont font;
  };
  std::vector<Used> fonts;
  for (const PageText& t : p.texts) {
    if (t.text.isEmpty() && !t.frame) continue;
    int pixels = std::max(1, static_cast<int>(std::lround(t.sizePt * 25.4 / 72 * kUnits)));
    auto it = std::find_if(fonts.begin(), fonts.end(), [&](const Used& u) {
      return u.pixels == pixels && u.like->bold == t.bold && u.like->italic == t.italic &&
             u.like->family == t.family;
    });
    if (it == fonts.end()) {
      QFont font(t.family);
      font.setPixelSize(pixels);
      font.setBold(t.bold);
      font.setItalic(t.italic);
      font.setHintingPreference(QFont::PreferNoHinting);
      fonts.push_back({&t, pixels, font});
      it = fonts.end() - 1;
    }
    painter.setFont(it->font);
    QRectF r = scaled(t.rect);
    if (t.frame) painter.drawRect(r);
    QRectF inner = r.adjusted(0.8 * kUnits, 0, -0.8 * kUnits, 0);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= t.align == 1 ? Qt::AlignHCenter : t.align == 2 ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(inner, flags, t.text);
  }
  painter.restore();
}

bool ReportDocument::paintPages(QPagedPaintDevice& device, int first, int last,
                                const PageProgress& progress) const {
  first = std::max(first, 0);
  last = std::min(last, pageCount() - 1);
  if (first > last) return true;
  device.setPageLayout(pageLayout(first));
  QPainter painter;
  if (!painter.begin(&device)) throw Failure(std::string(kNotStarted));
  // Each page is laid out, painted and let go before the next.
  for (int i = first; i <= last; ++i) {
    if (progress && !progress(i - first, last - first + 1)) return false;
    if (i > first) {
      device.setPageLayout(pageLayout(i));
      if (!device.newPage()) throw Failure("A new page could not be started.");
    }
    paintPage(painter, page(i));
  }
  if (!painter.end()) throw Failure("The pages could not be finished.");
  return true;
}

bool ReportDocument::writePdf(const std::string& path, const PageProgress& progress) const {
  ensureGuiApplication();
  const std::string temporary = path + ".part";
  auto removeTemporary = [&] {
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
  };
  bool stopped = false;
  try {
    QPdfWriter writer(QString::fromStdString(temporary));
    writer.setCreator("Batchseal");
    writer.setTitle(QString::fromStdString(title_));
    writer.setResolution(300);
    stopped = pageCount() > 0 && !paintPages(writer, 0, pageCount() - 1, progress);
  } catch (const Failure& f) {
    removeTemporary();
    if (std::string_view(f.what()) == kNotStarted)
      throw Failure("Cannot create file \"" + path + "\".");
    throw;
  } catch (...) {
    removeTemporary();
    throw;
  }
  if (stopped) {
    removeTemporary();
    return false;
  }
  // The finished file replaces an earlier one only when it was written whole.
  std::error_code ec;
  if (!std::filesystem::exists(temporary, ec))
    throw Failure("Cannot create file \"" + path + "\".");
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    removeTemporary();
    throw Failure("Cannot create file \"" + path + "\". " + ec.message());
  }
  return true;
}

std::vector<ReportDocument::Match> ReportDocument::find(const QString& needle) const {
  std::vector<Match> out;
  if (needle.isEmpty()) return out;
  for (int i = 0; i < pageCount(); ++i)
    for (const PageText& t : page(i).texts)
      if (t.text.contains(needle, Qt::CaseInsensitive)) out.push_back({i, t.rect});
  return out;
}

std::vector<ReportDocument::Match> ReportDocument::findFrom(const QString& needle, int fromPage,
                                                            const PageProgress& progress) const {
  std::vector<Match> out;
  const int count = pageCount();
  if (needle.isEmpty() || count == 0) return out;
  if (fromPage < 0 || fromPage >= count) fromPage = 0;
  for (int n = 0; n < count && out.empty(); ++n) {
    if (progress && !progress(n, count)) break;
    int i = (fromPage + n) % count;
    for (const PageText& t : page(i).texts)
      if (t.text.contains(needle, Qt::CaseInsensitive)) out.push_back({i, t.rect});
  }
  return out;
}

QString ReportDocument::pageText(int page) const {
  QStringList texts;
  for (const PageText& t : this->page(page).texts) texts << t.text;
  return texts.join('\n');
}

}  // namespace bs
