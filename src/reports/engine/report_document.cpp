#include "reports/engine/report_document.h"

#include <malloc.h>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "core/failure.h"
#include "reports/engine/pdf_compression.h"
#include "reports/engine/pdf_join.h"

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

// A single-line text wider than its field is drawn narrower, down to this share of its width,
// so that a long product or payee name is read whole; only a text longer still is cut at the
// field's edge.
constexpr qreal kNarrowest = 0.75;

// How much narrower a text `width` wide is drawn in a field `room` wide: 1 when it fits.
qreal narrowing(qreal width, qreal room) {
  return width > room && width > 0 ? std::max(room / width, kNarrowest) : 1;
}

// Draws into `r` with the painter narrowed by `factor` about r's left edge, through `draw`,
// which receives the rectangle that covers `r` in the narrowed painter.
template <typename Draw>
void drawNarrowed(QPainter& painter, const QRectF& r, qreal factor, const Draw& draw) {
  painter.save();
  painter.translate(r.x(), 0);
  painter.scale(factor, 1);
  draw(QRectF(0, r.y(), r.width() / factor, r.height()));
  painter.restore();
}

// QPainter::drawText into `r`, narrowed when the text is wider than `r`.
void drawFitted(QPainter& painter, const QRectF& r, int flags, const QString& text) {
  const qreal factor = narrowing(painter.boundingRect(r, flags, text).width(), r.width());
  if (factor < 1)
    drawNarrowed(painter, r, factor,
                 [&](const QRectF& wide) { painter.drawText(wide, flags, text); });
  else
    painter.drawText(r, flags, text);
}

// Single-line texts laid out once per font, drawn exactly as QPainter::drawText draws them into
// a rectangle: the line centred vertically, placed by its alignment, narrowed or clipped to the
// rectangle when it does not fit.  Held by one painting thread; its fonts belong to that thread.
class PageTextCache {
 public:
  struct Font {
    QString family;
    int pixels;
    bool bold, italic;
    QFont font;
  };

  // The font of a text, made once.
  const QFont& font(const QString& family, int pixels, bool bold, bool italic) {
    for (Slot& s : slots_)
      if (s.font.pixels == pixels && s.font.bold == bold && s.font.italic == italic &&
          s.font.family == family)
        return s.font.font;
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    Slot& slot = slots_.emplace_back();
    slot.font = {family, pixels, bold, italic, font};
    return slot.font.font;
  }

  // Draws `text` with the painter's font, which `font` gave, into `r` aligned by `flags`
  // (vertically centred, one line).  False for a text this does not lay out; the caller draws
  // it the usual way.
  bool draw(QPainter& painter, const QFont& font, const QRectF& r, int flags, const QString& text) {
    for (QChar c : text)
      if (c == u'\r' || c == u'\n' || c == u'\t' || c == QChar(0x9c) || c == QChar::LineSeparator ||
          c == QChar::ParagraphSeparator)
        return false;
    if (text.isEmpty()) return true;
    Slot* slot = nullptr;
    for (Slot& s : slots_)
      if (&s.font.font == &font) slot = &s;
    if (!slot) return false;
    const LaidOut* laid = find(*slot, painter, text);
    if (!laid) return false;
    if (const qreal factor = narrowing(laid->width, r.width()); factor < 1) {
      drawNarrowed(painter, r, factor,
                   [&](const QRectF& wide) { drawLaidOut(painter, *laid, wide, flags); });
      return true;
    }
    drawLaidOut(painter, *laid, r, flags);
    return true;
  }

 private:
  struct LaidOut {
    QTextLayout layout;
    qreal width = 0, height = 0, advance = 0;
  };

  static void drawLaidOut(QPainter& painter, const LaidOut& laid, const QRectF& r, int flags) {
    const bool right = flags & Qt::AlignRight, centre = flags & Qt::AlignHCenter;
    const qreal yoff = (r.height() - laid.height) / 2;
    const qreal boundsX = right    ? r.width() - laid.width
                          : centre ? (r.width() - laid.width) / 2
                                   : 0;
    const bool clip = !r.contains(QRectF(r.x() + boundsX, r.y() + yoff, laid.width, laid.height));
    if (clip) {
      painter.save();
      painter.setClipRect(r, Qt::IntersectClip);
    }
    const qreal xoff = right    ? r.width() - laid.advance
                       : centre ? (r.width() - laid.advance) / 2
                                : 0;
    laid.layout.lineAt(0).draw(&painter, QPointF(r.x() + xoff, r.y() + yoff));
    if (clip) painter.restore();
  }

  using Texts = std::unordered_map<QString, std::unique_ptr<LaidOut>>;
  struct Slot {
    Font font;
    // The texts of the latest pages and of the pages before them: a text that recurs stays,
    // one seen once is let go, so that memory stays bounded whatever the page count.  A text
    // is kept from its second showing on (an account number or an amount is mostly shown
    // once); until then only its hash is remembered, in a table where a later text may take
    // its place.
    Texts recent, older;
    std::vector<std::size_t> seen = std::vector<std::size_t>(kHashesKept);
  };
  static constexpr std::size_t kTextsKept = 2048;
  static constexpr std::size_t kHashesKept = 1 << 15;

  const LaidOut* find(Slot& slot, QPainter& painter, const QString& text) {
    if (auto it = slot.recent.find(text); it != slot.recent.end()) return it->second.get();
    std::unique_ptr<LaidOut> laid;
    if (auto it = slot.older.find(text); it != slot.older.end()) {
      laid = std::move(it->second);
      slot.older.erase(it);
    } else {
      laid = layOut(painter, text);
      if (!laid) return nullptr;
      const std::size_t hash = std::hash<QString>{}(text);
      std::size_t& seen = slot.seen[hash % kHashesKept];
      if (seen != hash) {
        seen = hash;
        once_ = std::move(laid);
        return once_.get();
      }
    }
    if (slot.recent.size() >= kTextsKept) {
      slot.older = std::move(slot.recent);
      slot.recent.clear();
    }
    return slot.recent.emplace(text, std::move(laid)).first->second.get();
  }

  static std::unique_ptr<LaidOut> layOut(QPainter& painter, const QString& text) {
    auto laid = std::make_unique<LaidOut>();
    laid->layout.setText(text);
    laid->layout.setFont(painter.font());
    QTextOption option;
    option.setTextDirection(painter.layoutDirection());
    option.setAlignment(Qt::AlignLeft);
    laid->layout.setTextOption(option);
    laid->layout.setCacheEnabled(true);
    laid->layout.beginLayout();
    QTextLine line = laid->layout.createLine();
    if (line.isValid()) {
      line.setLineWidth(0x01000000);
      line.setPosition(QPointF(0, 0));
    }
    laid->layout.endLayout();
    if (laid->layout.lineCount() != 1) return nullptr;
    laid->height = line.ascent() + line.descent();
    laid->width = line.naturalTextWidth();
    laid->advance = line.horizontalAdvance();
    return laid;
  }

  std::deque<Slot> slots_;         // a deque: the fonts handed out stay where they are
  std::unique_ptr<LaidOut> once_;  // the text drawn last, when it is not kept
};

namespace {

constexpr std::string_view kNotStarted = "The printer or file could not be started.";

// A long document is written as two halves painted side by side, each into its own file, and
// joined page by page: painting a page costs far more than joining it.  Shorter documents are
// written in one piece, and so are the longest: the join holds every part in memory, about
// 6 KB a page, so beyond some ten thousand pages memory comes before speed.
constexpr int kPagesToSplit = 200;
constexpr int kMostPagesToJoin = 10000;
constexpr int kParts = 2;
// Laid-out pages waiting for their painter: enough to keep it busy, few enough that memory is a
// few pages whatever the page count.
constexpr std::size_t kPagesWaiting = 8;

// Qt's PDF writer takes a buffer of ten megabytes for every page it finishes and frees it again.
// With the allocator's defaults each one is mapped and unmapped, or trimmed off the heap, and
// its pages are faulted in afresh: half a second of system time over a few thousand pages.
// Freed memory is kept for reuse instead, up to more than a whole thread's heap; the process
// holds it until it ends.
void keepFreedMemoryForReuse() {
  constexpr int kMiB = 1 << 20;
  mallopt(M_MMAP_THRESHOLD, 32 * kMiB);  // the largest the allocator takes
  mallopt(M_TRIM_THRESHOLD, 80 * kMiB);
}

// Pages handed from the thread that lays them out (and alone reads the report's rows) to one
// that paints them.
class PageQueue {
 public:
  // False when the painter has given up (it failed, or the write was stopped).
  bool push(PreparedPage page) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pages_.size() < kPagesWaiting || abandoned_; });
    if (abandoned_) return false;
    pages_.push_back(std::move(page));
    changed_.notify_all();
    return true;
  }
  // The next page; nothing once every page has been handed over, or the write was abandoned.
  std::optional<PreparedPage> pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pages_.empty() || finished_ || abandoned_; });
    if (abandoned_ || pages_.empty()) return std::nullopt;
    PreparedPage page = std::move(pages_.front());
    pages_.pop_front();
    changed_.notify_all();
    return page;
  }
  std::size_t waiting() {
    std::lock_guard lock(mutex_);
    return pages_.size();
  }
  void finish() {
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
  }
  void abandon() {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<PreparedPage> pages_;
  bool finished_ = false;
  bool abandoned_ = false;
};

// Paints the pages of one part into its own PDF file, on its own thread.
class PartPainter {
 public:
  PartPainter(std::string file, QString title) : file_(std::move(file)) {
    thread_ = std::thread([this, title = std::move(title)] { run(title); });
  }
  ~PartPainter() {
    queue_.abandon();
    if (thread_.joinable()) thread_.join();
  }
  PartPainter(const PartPainter&) = delete;
  PartPainter& operator=(const PartPainter&) = delete;

  bool push(PreparedPage page) { return queue_.push(std::move(page)); }
  std::size_t waiting() { return queue_.waiting(); }
  // Waits for the last page to be painted and the file finished; rethrows the painter's failure.
  void finish() {
    queue_.finish();
    thread_.join();
    if (error_) std::rethrow_exception(error_);
  }

 private:
  void run(const QString& title) {
    try {
      const FasterPdfCompression faster;
      QPdfWriter writer(QString::fromStdString(file_));
      writer.setCreator("Batchseal");
      writer.setTitle(title);
      writer.setResolution(300);
      QPainter painter;
      PageTextCache texts;
      bool first = true;
      while (std::optional<PreparedPage> page = queue_.pop()) {
        writer.setPageLayout(ReportDocument::pageLayoutForSize(page->sizeMm));
        if (first) {
          if (!painter.begin(&writer)) throw Failure(std::string(kNotStarted));
          first = false;
        } else if (!writer.newPage()) {
          throw Failure("A new page could not be started.");
        }
        ReportDocument::paintPage(painter, *page, &texts);
      }
      if (!first && !painter.end()) throw Failure("The pages could not be finished.");
    } catch (...) {
      error_ = std::current_exception();
      queue_.abandon();
    }
  }

  std::string file_;
  PageQueue queue_;
  std::exception_ptr error_;
  std::thread thread_;
};

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
  return pageLayoutForSize(pageSizeMm(page));
}

QPageLayout ReportDocument::pageLayoutForSize(QSizeF mm) {
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

void ReportDocument::paintPage(QPainter& painter, const PreparedPage& p, PageTextCache* texts) {
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
  const QFont* current = nullptr;
  for (const PageText& t : p.texts) {
    if (t.text.isEmpty() && !t.frame) continue;
    int pixels = std::max(1, static_cast<int>(std::lround(t.sizePt * 25.4 / 72 * kUnits)));
    QRectF r = scaled(t.rect);
    QRectF inner = r.adjusted(0.8 * kUnits, 0, -0.8 * kUnits, 0);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= t.align == 1 ? Qt::AlignHCenter : t.align == 2 ? Qt::AlignRight : Qt::AlignLeft;
    if (texts) {
      const QFont& font = texts->font(t.family, pixels, t.bold, t.italic);
      if (&font != current) painter.setFont(font);
      current = &font;
      if (t.frame) painter.drawRect(r);
      if (!texts->draw(painter, font, inner, flags, t.text))
        drawFitted(painter, inner, flags, t.text);
      continue;
    }
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
    if (t.frame) painter.drawRect(r);
    drawFitted(painter, inner, flags, t.text);
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
  PageTextCache texts;
  // Each page is laid out, painted and let go before the next.
  for (int i = first; i <= last; ++i) {
    if (progress && !progress(i - first, last - first + 1)) return false;
    if (i > first) {
      device.setPageLayout(pageLayout(i));
      if (!device.newPage()) throw Failure("A new page could not be started.");
    }
    paintPage(painter, page(i), &texts);
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
  std::vector<std::string> parts;
  auto removeParts = [&] {
    std::error_code ec;
    for (const std::string& part : parts) std::filesystem::remove(part, ec);
  };
  try {
    if (pageCount() >= kPagesToSplit && pageCount() <= kMostPagesToJoin) {
      for (int i = 1; i <= kParts; ++i) parts.push_back(temporary + std::to_string(i));
      stopped = !writePdfParts(parts, progress);
      if (!stopped) joinPdfFiles(parts, temporary);
      removeParts();
    } else {
      QPdfWriter writer(QString::fromStdString(temporary));
      writer.setCreator("Batchseal");
      writer.setTitle(QString::fromStdString(title_));
      writer.setResolution(300);
      stopped = pageCount() > 0 && !paintPages(writer, 0, pageCount() - 1, progress);
    }
  } catch (const Failure& f) {
    removeParts();
    removeTemporary();
    if (std::string_view(f.what()) == kNotStarted)
      throw Failure("Cannot create file \"" + path + "\".");
    throw;
  } catch (...) {
    removeParts();
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

bool ReportDocument::writePdfParts(const std::vector<std::string>& parts,
                                   const PageProgress& progress) const {
  const int count = pageCount();
  const int partCount = static_cast<int>(parts.size());
  keepFreedMemoryForReuse();
  std::vector<std::unique_ptr<PartPainter>> painters;
  for (const std::string& part : parts)
    painters.push_back(std::make_unique<PartPainter>(part, QString::fromStdString(title_)));
  // The k-th part holds the pages from first(k) on.  The pages are laid out here, each next page
  // for the painter with the fewest waiting, so that neither waits for the other.
  auto first = [&](int k) {
    return static_cast<int>(static_cast<long long>(count) * k / partCount);
  };
  std::vector<int> next;
  for (int k = 0; k < partCount; ++k) next.push_back(first(k));
  for (int done = 0; done < count; ++done) {
    std::size_t k = 0, fewest = SIZE_MAX;
    for (std::size_t j = 0; j < parts.size(); ++j) {
      if (next[j] == first(static_cast<int>(j) + 1)) continue;
      const std::size_t waiting = painters[j]->waiting();
      if (waiting < fewest) {
        k = j;
        fewest = waiting;
      }
    }
    if (progress && !progress(done, count)) return false;
    // A painter that failed takes no more pages; its failure is thrown below.
    if (!painters[k]->push(page(next[k]++))) break;
  }
  for (auto& painter : painters) painter->finish();
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
