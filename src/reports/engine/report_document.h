#pragma once

#include <QFont>
#include <QLineF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace bs {

class PageTextCache;

// Creates the application object the renderer needs when none exists: a QGuiApplication on the
// offscreen platform, so that batchseal-cli and the tests render PDFs without a display.
void ensureGuiApplication();

// One drawing operation of a laid-out page, in millimetres from the page's top left corner.
struct PageText {
  QRectF rect;
  QString text;
  QString family;
  double sizePt = 9;
  bool bold = false;
  bool italic = false;
  int align = 0;  // 0 left, 1 centre, 2 right
  bool frame = false;
};
struct PageLine {
  QLineF line;
};
struct PreparedPage {
  QSizeF sizeMm{210, 297};
  std::vector<PageText> texts;
  std::vector<PageLine> lines;
  std::vector<QRectF> boxes;
};

// Called between pages of long work with the pages done and the page count; false stops it.
using PageProgress = std::function<bool(int done, int total)>;

// A prepared report: the page breaks and page count of one or more reports, whose pages are laid
// out one at a time when they are shown, printed or written, so that a document of thousands of
// pages holds no more than the page in hand.
class ReportDocument {
 public:
  // Where the pages come from: the report engine lays them out from the report's rows.
  class PageSource {
   public:
    virtual ~PageSource() = default;
    virtual int pageCount() const = 0;
    virtual QSizeF pageSizeMm(int page) const = 0;
    virtual PreparedPage layOut(int page) const = 0;
  };

  ReportDocument() = default;
  explicit ReportDocument(std::shared_ptr<const PageSource> source) : source_(std::move(source)) {}

  int pageCount() const;
  // The size of the first page.
  QSizeF pageSizeMm() const;
  QSizeF pageSizeMm(int page) const;
  // The paper and orientation of a page: the same for the screen, a printer and a PDF file.
  QPageLayout pageLayout(int page) const;
  static QPageLayout pageLayoutForSize(QSizeF mm);
  // Lays out page `page` (from 0).  Throws Failure when its rows cannot be read.
  PreparedPage page(int page) const;
  // Paints page `page` (from 0) filling the painter's device, keeping the page's proportions.
  void renderPage(QPainter& painter, int page) const;
  // With `texts`, a text that recurs from page to page (captions, product names, zero amounts)
  // is laid out once and drawn again from there; the pages look the same either way.
  static void paintPage(QPainter& painter, const PreparedPage& page,
                        PageTextCache* texts = nullptr);
  // Paints pages `first` to `last` (from 0, inclusive) on a printer or a PDF writer, one at a
  // time, each on the paper and in the orientation of its template: a printer gives the same
  // pages as a saved PDF.  False when `progress` stopped it; Failure when the device does not
  // start or a page cannot be read.
  bool paintPages(QPagedPaintDevice& device, int first, int last,
                  const PageProgress& progress = {}) const;
  // Writes the pages to a PDF file one at a time.  Throws Failure when the file cannot be
  // written; a stopped or failed write leaves no file behind.  The result is false when
  // `progress` stopped it.
  bool writePdf(const std::string& path, const PageProgress& progress = {}) const;

  // The report variables, name and value without quotes, as UTF-8, in the order they were set.
  std::vector<std::pair<std::string, std::string>> variables() const { return variables_; }
  // The document's title (written into a PDF) and the payment file it reports on, if any.
  // UTF-8.
  std::string title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  std::string sourceFile() const { return sourceFile_; }
  void setSourceFile(std::string path) { sourceFile_ = std::move(path); }

  // A text found on a page: the page (from 0) and where it stands, in millimetres.
  struct Match {
    int page;
    QRectF rectMm;
  };
  // Every text of the pages that contains `needle` (case-insensitive), in page order.
  std::vector<Match> find(const QString& needle) const;
  // The texts that contain `needle` on the first page from `fromPage` on that holds one,
  // going round to the first page after the last; empty when no page holds it or `progress`
  // stopped the search.  Pages are laid out one at a time and not kept.
  std::vector<Match> findFrom(const QString& needle, int fromPage,
                              const PageProgress& progress = {}) const;
  // All texts of a page joined by line breaks, in drawing order.
  QString pageText(int page) const;

  // Building a document of pages laid out beforehand.
  std::vector<PreparedPage>& pages() { return pages_; }
  void addVariable(std::string name, std::string value) {
    variables_.emplace_back(std::move(name), std::move(value));
  }

 private:
  // Paints the pages into the files `parts`, each a run of pages in order, side by side.
  bool writePdfParts(const std::vector<std::string>& parts, const PageProgress& progress) const;

  std::shared_ptr<const PageSource> source_;
  std::vector<PreparedPage> pages_;
  std::vector<std::pair<std::string, std::string>> variables_;
  std::string title_;
  std::string sourceFile_;
};

}  // namespace bs
