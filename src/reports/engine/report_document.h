#pragma once

#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <string>
#include <utility>
#include <vector>

class QPainter;

namespace bs {

// Creates the application object the renderer needs when none exists: a QGuiApplication on the
// offscreen platform, so that batchseal-cli and the tests render PDFs without a display.
void ensureGuiApplication();

// One drawing operation of a prepared page, in millimetres from the page's top left corner.
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

// A prepared report: the pages of one or more reports, ready to be painted on the screen, a
// printer or a PDF file.
class ReportDocument {
 public:
  int pageCount() const { return static_cast<int>(pages_.size()); }
  // The size of the first page (every page of a document has the size of its report).
  QSizeF pageSizeMm() const;
  QSizeF pageSizeMm(int page) const;
  // Paints page `page` (from 0) filling the painter's device, keeping the page's proportions.
  void renderPage(QPainter& painter, int page) const;
  // Writes every page to a PDF file.  Throws Failure when the file cannot be written.
  void writePdf(const std::string& path) const;
  // The report variables, name and value without quotes, as UTF-8, in the order they were set.
  std::vector<std::pair<std::string, std::string>> variables() const { return variables_; }

  // A text found on a page: the page (from 0) and where it stands, in millimetres.
  struct Match {
    int page;
    QRectF rectMm;
  };
  // Every text of the pages that contains `needle` (case-insensitive), in page order.
  std::vector<Match> find(const QString& needle) const;
  // All texts of a page joined by line breaks, in drawing order.
  QString pageText(int page) const;

  // Building the document.
  std::vector<PreparedPage>& pages() { return pages_; }
  void addVariable(std::string name, std::string value) {
    variables_.emplace_back(std::move(name), std::move(value));
  }

 private:
  std::vector<PreparedPage> pages_;
  std::vector<std::pair<std::string, std::string>> variables_;
};

}  // namespace bs
