#include "app/report_preview.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <list>
#include <optional>
#include <vector>

#include "core/failure.h"
#include "reports/engine/report_document.h"

namespace bs {

namespace {

const char* const kHelp =
    "Report preview\n\n"
    "Pages: Page Up and Page Down go to the previous and next page, Home and End to the first "
    "and last; the arrows on the tool bar do the same, and the page box goes to the page typed "
    "in.\n"
    "Zoom: choose the size of the pages on the screen, or fit the page's width or the whole "
    "page to the window.\n"
    "Print: send the pages to a printer chosen in the print dialog.\n"
    "Save: write the pages to a PDF file.\n"
    "Open: show a PDF file saved earlier in the desktop's PDF viewer.\n"
    "Find: type a text and press Enter; Enter again finds the next page that holds it.\n"
    "Close: close the preview and return to the main window.";

// The pages of a document one under the other.  Only the pages in view are drawn, and a few
// drawn pages are kept, so that a document of thousands of pages opens at once and holds little.
class PageView : public QAbstractScrollArea {
 public:
  enum class Fit { None, Width, Page };

  PageView(const ReportDocument& doc, QWidget* parent) : QAbstractScrollArea(parent), doc_(doc) {
    setObjectName("pages");
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    // The widest page sets the width of the view; the first page its first height.
    for (int i = 0; i < doc_.pageCount(); ++i) {
      QSizeF mm = doc_.pageSizeMm(i);
      widestMm_ = std::max(widestMm_, mm.width());
      sizes_.push_back(mm);
    }
    layOut();
  }

  std::function<void(int)> onPageChanged;
  std::function<void(const QString&)> onError;

  int currentPage() const { return current_; }
  double pixelsPerMm() const { return pxPerMm_; }

  void setZoom(Fit fit, double percent) {
    int keep = current_;
    fit_ = fit;
    percent_ = percent;
    layOut();
    goToPage(keep);
  }

  void goToPage(int page) {
    if (tops_.empty()) return;
    page = std::clamp(page, 0, static_cast<int>(tops_.size()) - 1);
    verticalScrollBar()->setValue(tops_[static_cast<std::size_t>(page)] - kGap);
    setCurrent(page);
    viewport()->update();
  }

  void setHighlights(int page, std::vector<QRectF> rectsMm) {
    highlightPage_ = page;
    highlights_ = std::move(rectsMm);
    viewport()->update();
  }

  // The pages drawn and kept, for the tests of memory.
  std::size_t cachedPages() const { return cache_.size(); }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QAbstractScrollArea::resizeEvent(event);
    int keep = current_;
    layOut();
    if (fit_ != Fit::None) goToPage(keep);
  }

  void scrollContentsBy(int, int) override {
    updateCurrentFromScroll();
    viewport()->update();
  }

  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_PageDown:
        goToPage(current_ + 1);
        return;
      case Qt::Key_PageUp:
        // From the middle of a page, Page Up goes to its top first.
        goToPage(verticalScrollBar()->value() > tops_[current_] - kGap ? current_ : current_ - 1);
        return;
      case Qt::Key_Home:
        goToPage(0);
        return;
      case Qt::Key_End:
        goToPage(static_cast<int>(tops_.size()) - 1);
        return;
      default:
        QAbstractScrollArea::keyPressEvent(event);
    }
  }

  void paintEvent(QPaintEvent*) override {
    QPainter painter(viewport());
    if (tops_.empty()) return;
    const int scrollY = verticalScrollBar()->value();
    const int scrollX = horizontalScrollBar()->value();
    const int height = viewport()->height();
    const int contentWidth = std::max(viewport()->width(), widthPx_ + 2 * kGap);
    auto it = std::upper_bound(tops_.begin(), tops_.end(), scrollY);
    int page = std::max(0, static_cast<int>(it - tops_.begin()) - 1);
    for (; page < static_cast<int>(tops_.size()); ++page) {
      QSize size = pageSizePx(page);
      int top = tops_[static_cast<std::size_t>(page)] - scrollY;
      if (top > height) break;
      if (top + size.height() < 0) continue;
      int left = (contentWidth - size.width()) / 2 - scrollX;
      QRect target(QPoint(left, top), size);
      if (const QImage* image = drawn(page, size)) {
        painter.drawImage(target, *image);
      } else {
        painter.fillRect(target, Qt::white);
        painter.drawText(target.adjusted(20, 20, -20, -20), Qt::AlignTop | Qt::TextWordWrap,
                         failure_);
      }
      if (page == highlightPage_) {
        painter.setPen(QPen(QColor(255, 160, 0), 3));
        for (const QRectF& r : highlights_)
          painter.drawRect(QRectF(left + r.x() * pxPerMm_, top + r.y() * pxPerMm_,
                                  r.width() * pxPerMm_, r.height() * pxPerMm_));
      }
    }
  }

 private:
  static constexpr int kGap = 12;
  // Pages kept once drawn: the pages in view and a few around them, fewer at a large zoom.
  static constexpr std::size_t kCachedPages = 8;
  static constexpr qsizetype kCachedBytes = 160 * 1024 * 1024;

  QSize pageSizePx(int page) const {
    const QSizeF& mm = sizes_[static_cast<std::size_t>(page)];
    return QSize(static_cast<int>(mm.width() * pxPerMm_), static_cast<int>(mm.height() * pxPerMm_));
  }

  // Positions of the pages at the present zoom.
  void layOut() {
    const double screenPxPerMm = logicalDpiX() / 25.4;
    const QSizeF first = sizes_.empty() ? QSizeF(210, 297) : sizes_.front();
    const double availW = std::max(50, viewport()->width() - 2 * kGap);
    const double availH = std::max(50, viewport()->height() - 2 * kGap);
    switch (fit_) {
      case Fit::Width:
        pxPerMm_ = availW / std::max(1.0, widestMm_);
        break;
      case Fit::Page:
        pxPerMm_ = std::min(availW / first.width(), availH / first.height());
        break;
      case Fit::None:
        pxPerMm_ = screenPxPerMm * percent_ / 100.0;
        break;
    }
    tops_.clear();
    int y = kGap;
    for (std::size_t i = 0; i < sizes_.size(); ++i) {
      tops_.push_back(y);
      y += pageSizePx(static_cast<int>(i)).height() + kGap;
    }
    widthPx_ = static_cast<int>(widestMm_ * pxPerMm_);
    verticalScrollBar()->setRange(0, std::max(0, y - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setRange(0, std::max(0, widthPx_ + 2 * kGap - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(40);
    cache_.clear();
    updateCurrentFromScroll();
    viewport()->update();
  }

  // The page that fills the upper part of the view.
  void updateCurrentFromScroll() {
    if (tops_.empty()) return;
    int probe = verticalScrollBar()->value() + viewport()->height() / 3;
    auto it = std::upper_bound(tops_.begin(), tops_.end(), probe);
    setCurrent(std::max(0, static_cast<int>(it - tops_.begin()) - 1));
  }

  void setCurrent(int page) {
    if (page == current_) return;
    current_ = page;
    if (onPageChanged) onPageChanged(page);
  }

  // A page drawn at the present zoom: from the cache, or laid out and drawn now.  Null when its
  // rows cannot be read; the reason is shown on the page and once in a message.
  const QImage* drawn(int page, QSize size) {
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
      if (it->page == page) {
        cache_.splice(cache_.begin(), cache_, it);
        return &cache_.front().image;
      }
    const qreal ratio = devicePixelRatioF();
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    try {
      QPainter painter(&image);
      ReportDocument::paintPage(painter, doc_.page(page));
    } catch (const Failure& f) {
      if (failure_.isEmpty()) {
        failure_ = QString::fromStdString(f.message());
        if (onError) onError(failure_);
      }
      return nullptr;
    }
    cache_.push_front({page, std::move(image)});
    qsizetype bytes = 0;
    for (const Drawn& d : cache_) bytes += d.image.sizeInBytes();
    while (cache_.size() > 1 && (cache_.size() > kCachedPages || bytes > kCachedBytes)) {
      bytes -= cache_.back().image.sizeInBytes();
      cache_.pop_back();
    }
    return &cache_.front().image;
  }

  struct Drawn {
    int page;
    QImage image;
  };

  const ReportDocument& doc_;
  std::vector<QSizeF> sizes_;
  std::vector<int> tops_;
  double widestMm_ = 0;
  int widthPx_ = 0;
  double pxPerMm_ = 1;
  Fit fit_ = Fit::None;
  double percent_ = 100;
  int current_ = 0;
  std::list<Drawn> cache_;
  int highlightPage_ = -1;
  std::vector<QRectF> highlights_;
  QString failure_;
};

// The payment file's name with ".pdf", in its folder; empty when the document names none.
QString suggestedPdfName(const ReportDocument& doc) {
  if (doc.sourceFile().empty()) return {};
  QFileInfo source(QString::fromLocal8Bit(doc.sourceFile().c_str()));
  return source.dir().filePath(source.completeBaseName() + ".pdf");
}

class PreviewDialog : public QDialog {
 public:
  PreviewDialog(QWidget* parent, const ReportDocument& doc) : QDialog(parent), doc_(doc) {
    setWindowTitle("Batchseal - Report preview");
    setModal(true);
    QRect screen = parent && parent->screen() ? parent->screen()->availableGeometry()
                   : QGuiApplication::primaryScreen()
                       ? QGuiApplication::primaryScreen()->availableGeometry()
                       : QRect(0, 0, 1024, 768);
    resize(std::min(1200, screen.width() * 9 / 10), std::min(1000, screen.height() * 9 / 10));
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    layout->addWidget(bar);

    view_ = new PageView(doc_, this);
    const int last = doc_.pageCount() - 1;
    first_ = bar->addAction("First", this, [this] { view_->goToPage(0); });
    previous_ =
        bar->addAction("Previous", this, [this] { view_->goToPage(view_->currentPage() - 1); });
    pageBox_ = new QSpinBox(bar);
    pageBox_->setObjectName("page");
    pageBox_->setRange(1, std::max(1, doc_.pageCount()));
    pageBox_->setSuffix(QString(" of %1").arg(doc_.pageCount()));
    pageBox_->setKeyboardTracking(false);
    pageBox_->setToolTip("The page shown; type a page number and press Enter to go to it");
    bar->addWidget(pageBox_);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int value) {
      if (value - 1 != view_->currentPage()) view_->goToPage(value - 1);
    });
    next_ = bar->addAction("Next", this, [this] { view_->goToPage(view_->currentPage() + 1); });
    last_ = bar->addAction("Last", this, [this, last] { view_->goToPage(last); });
    first_->setToolTip("First page (Home)");
    previous_->setToolTip("Previous page (Page Up)");
    next_->setToolTip("Next page (Page Down)");
    last_->setToolTip("Last page (End)");
    bar->addSeparator();

    zoom_ = new QComboBox(bar);
    zoom_->setObjectName("zoom");
    zoom_->setFocusPolicy(Qt::ClickFocus);
    zoom_->addItem("Fit width", -1);
    zoom_->addItem("Fit page", -2);
    for (int percent : {25, 50, 75, 100, 125, 150, 200, 300, 400})
      zoom_->addItem(QString("%1%").arg(percent), percent);
    // The whole width of the widest page in view: a landscape detail page is not cut off.
    zoom_->setCurrentIndex(0);
    view_->setZoom(PageView::Fit::Width, 100);
    bar->addWidget(new QLabel(" Zoom ", bar));
    bar->addWidget(zoom_);
    connect(zoom_, &QComboBox::currentIndexChanged, this, [this] {
      int v = zoom_->currentData().toInt();
      view_->setZoom(v == -1   ? PageView::Fit::Width
                     : v == -2 ? PageView::Fit::Page
                               : PageView::Fit::None,
                     v > 0 ? v : 100);
      // The pages keep the keyboard after a choice of zoom.
      view_->setFocus();
    });
    bar->addSeparator();
    bar->addAction("Open", this, [this] { openPdf(); });
    bar->addAction("Save", this, [this] { savePdf(); });
    bar->addAction("Print", this, [this] { print(); });
    bar->addSeparator();
    find_ = new QLineEdit(bar);
    find_->setObjectName("find");
    find_->setPlaceholderText("Find");
    find_->setMaximumWidth(200);
    bar->addWidget(find_);
    connect(find_, &QLineEdit::returnPressed, this, [this] { findNext(); });
    bar->addSeparator();
    bar->addAction("Help", this, [this] { QMessageBox::information(this, "Batchseal", kHelp); });
    bar->addAction("Close", this, [this] { accept(); });

    layout->addWidget(view_);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    layout->addWidget(status_);
    status_->setText(QString("%1 page(s)").arg(doc_.pageCount()));
    view_->onPageChanged = [this](int page) { pageShown(page); };
    view_->onError = [this](const QString& message) {
      status_->setText(message);
      QMessageBox::critical(this, "Batchseal", message);
    };
    pageShown(0);
    view_->setFocus();
  }

 private:
  void pageShown(int page) {
    QSignalBlocker block(pageBox_);
    pageBox_->setValue(page + 1);
    first_->setEnabled(page > 0);
    previous_->setEnabled(page > 0);
    next_->setEnabled(page + 1 < doc_.pageCount());
    last_->setEnabled(page + 1 < doc_.pageCount());
  }

  // Runs long page work with a progress box that shows after a moment and can stop it.
  template <typename Work>
  auto withProgress(const QString& label, int total, Work work) {
    QProgressDialog progress(label, "Stop", 0, std::max(1, total), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
      ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    return work([&progress](int done, int) {
      progress.setValue(done);
      return !progress.wasCanceled();
    });
  }

  void findNext() {
    QString needle = find_->text();
    if (needle.isEmpty()) return;
    // A new text is looked for from the page shown; the same text again from the next page.
    int from = needle == lastFind_ ? highlightPage_ + 1 : view_->currentPage();
    std::vector<ReportDocument::Match> matches;
    try {
      matches = withProgress("Finding...", doc_.pageCount(), [&](const PageProgress& progress) {
        return doc_.findFrom(needle, from, progress);
      });
    } catch (const Failure& f) {
      QMessageBox::critical(this, "Batchseal", QString::fromStdString(f.message()));
      return;
    }
    if (matches.empty()) {
      status_->setText(QString("\"%1\" was not found.").arg(needle));
      return;
    }
    lastFind_ = needle;
    highlightPage_ = matches.front().page;
    std::vector<QRectF> rects;
    for (const auto& m : matches) rects.push_back(m.rectMm);
    view_->setHighlights(highlightPage_, std::move(rects));
    view_->goToPage(highlightPage_);
    status_->setText(QString("\"%1\" found on page %2.").arg(needle).arg(highlightPage_ + 1));
  }

  void savePdf() {
    QString path = QFileDialog::getSaveFileName(this, "Save report as PDF", suggestedPdfName(doc_),
                                                "PDF file (*.pdf)");
    if (path.isEmpty()) return;
    if (!path.endsWith(".pdf", Qt::CaseInsensitive)) path += ".pdf";
    try {
      bool written = withProgress("Writing the PDF file...", doc_.pageCount(),
                                  [&](const PageProgress& progress) {
                                    return doc_.writePdf(path.toStdString(), progress);
                                  });
      if (!written) {
        status_->setText("Stopped: " + path + " was not written.");
        return;
      }
      lastSaved_ = path;
      status_->setText("Saved " + path);
    } catch (const Failure& f) {
      QMessageBox::critical(this, "Batchseal", QString::fromStdString(f.message()));
    }
  }

  void openPdf() {
    QString path =
        QFileDialog::getOpenFileName(this, "Open report", lastSaved_, "PDF file (*.pdf)");
    if (path.isEmpty()) return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
      QMessageBox::warning(this, "Batchseal", "No program is set up to show " + path);
  }

  void print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(doc_.pageLayout(0));
    printer.setDocName(QString::fromStdString(doc_.title()));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, doc_.pageCount());
    if (dialog.exec() != QDialog::Accepted) return;
    int first = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    int last = printer.toPage() > 0 ? printer.toPage() - 1 : doc_.pageCount() - 1;
    try {
      bool done = withProgress("Printing...", last - first + 1, [&](const PageProgress& progress) {
        return printReport(printer, doc_, first, last, progress);
      });
      if (!done) printer.abort();
    } catch (const Failure& f) {
      printer.abort();
      QMessageBox::critical(this, "Batchseal", QString::fromStdString(f.message()));
    }
  }

  const ReportDocument& doc_;
  PageView* view_ = nullptr;
  QAction* first_ = nullptr;
  QAction* previous_ = nullptr;
  QAction* next_ = nullptr;
  QAction* last_ = nullptr;
  QSpinBox* pageBox_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QLineEdit* find_ = nullptr;
  QLabel* status_ = nullptr;
  int highlightPage_ = -1;
  QString lastFind_;
  QString lastSaved_;
};

}  // namespace

bool printReport(QPrinter& printer, const ReportDocument& document, int first, int last,
                 const PageProgress& progress) {
  printer.setFullPage(true);
  return document.paintPages(printer, first, last, progress);
}

void showReportPreview(QWidget* parent, const ReportDocument& document) {
  if (document.pageCount() == 0) return;
  PreviewDialog dialog(parent, document);
  dialog.exec();
}

}  // namespace bs
