#include "app/report_preview.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "core/failure.h"
#include "reports/engine/report_document.h"

namespace bs {

namespace {

const char* const kHelp =
    "Report preview\n\n"
    "Zoom: choose the size of the pages on the screen.\n"
    "Print: send the pages to a printer chosen in the print dialog.\n"
    "Save: write the pages to a PDF file.\n"
    "Open: show a PDF file saved earlier in the desktop's PDF viewer.\n"
    "Find: type a text and press Enter; Enter again finds the next page that holds it.\n"
    "Close: close the preview and return to the main window.";

class PreviewDialog : public QDialog {
 public:
  PreviewDialog(QWidget* parent, const ReportDocument& doc) : QDialog(parent), doc_(doc) {
    setWindowTitle("Batchseal - Report preview");
    setModal(true);
    resize(900, 1000);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    layout->addWidget(bar);

    zoom_ = new QComboBox(bar);
    zoom_->setObjectName("zoom");
    for (int percent : {50, 75, 100, 125, 150, 200})
      zoom_->addItem(QString("%1%").arg(percent), percent);
    zoom_->setCurrentIndex(2);
    bar->addWidget(new QLabel(" Zoom ", bar));
    bar->addWidget(zoom_);
    connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { renderPages(); });
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

    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setBackgroundRole(QPalette::Dark);
    auto* pagesWidget = new QWidget(scroll_);
    pagesLayout_ = new QVBoxLayout(pagesWidget);
    pagesLayout_->setAlignment(Qt::AlignHCenter);
    scroll_->setWidget(pagesWidget);
    layout->addWidget(scroll_);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    layout->addWidget(status_);
    renderPages();
  }

 private:
  // Paints every page at the chosen zoom; a long document shows its progress.
  void renderPages() {
    double scale = zoom_->currentData().toInt() / 100.0;
    double pxPerMm = logicalDpiX() / 25.4 * scale;
    QProgressDialog progress("Preparing pages...", "Stop", 0, doc_.pageCount(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    for (QLabel* l : pageLabels_) delete l;
    pageLabels_.clear();
    for (int i = 0; i < doc_.pageCount(); ++i) {
      progress.setValue(i);
      if (progress.wasCanceled()) break;
      QSizeF mm = doc_.pageSizeMm(i);
      QImage image(QSize(int(mm.width() * pxPerMm), int(mm.height() * pxPerMm)),
                   QImage::Format_RGB32);
      image.fill(Qt::white);
      {
        QPainter painter(&image);
        doc_.renderPage(painter, i);
        if (i == highlightPage_) {
          painter.setPen(QPen(QColor(255, 160, 0), 3));
          for (const QRectF& r : highlights_)
            painter.drawRect(QRectF(r.x() * pxPerMm, r.y() * pxPerMm, r.width() * pxPerMm,
                                    r.height() * pxPerMm));
        }
      }
      auto* label = new QLabel;
      label->setPixmap(QPixmap::fromImage(image));
      pagesLayout_->addWidget(label);
      pageLabels_.push_back(label);
    }
    progress.setValue(doc_.pageCount());
    status_->setText(QString("%1 page(s)").arg(doc_.pageCount()));
  }

  void findNext() {
    QString needle = find_->text();
    auto matches = doc_.find(needle);
    if (matches.empty()) {
      status_->setText(QString("\"%1\" was not found.").arg(needle));
      return;
    }
    // The next page after the one shown that holds the text, from the start again at the end.
    int page = matches.front().page;
    for (const auto& m : matches)
      if (m.page > highlightPage_) {
        page = m.page;
        break;
      }
    if (needle != lastFind_) page = matches.front().page;
    lastFind_ = needle;
    highlightPage_ = page;
    highlights_.clear();
    for (const auto& m : matches)
      if (m.page == page) highlights_.push_back(m.rectMm);
    renderPages();
    if (page < int(pageLabels_.size())) scroll_->ensureWidgetVisible(pageLabels_[page]);
    status_->setText(QString("\"%1\" found on page %2.").arg(needle).arg(page + 1));
  }

  void savePdf() {
    QString path = QFileDialog::getSaveFileName(this, "Save report", QString(), "PDF file (*.pdf)");
    if (path.isEmpty()) return;
    if (!path.endsWith(".pdf", Qt::CaseInsensitive)) path += ".pdf";
    try {
      doc_.writePdf(path.toStdString());
      lastSaved_ = path;
      status_->setText("Saved " + path);
    } catch (const Failure& f) {
      QMessageBox::critical(this, "Batchseal", QString::fromStdString(f.what()));
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
    printer.setPageSize(QPageSize(doc_.pageSizeMm(), QPageSize::Millimeter));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, doc_.pageCount());
    if (dialog.exec() != QDialog::Accepted) return;
    int first = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    int last = printer.toPage() > 0 ? printer.toPage() - 1 : doc_.pageCount() - 1;
    QPainter painter;
    if (!painter.begin(&printer)) {
      QMessageBox::critical(this, "Batchseal", "The printer could not be started.");
      return;
    }
    QProgressDialog progress("Printing...", "Stop", first, last + 1, this);
    progress.setWindowModality(Qt::WindowModal);
    for (int i = first; i <= last; ++i) {
      progress.setValue(i);
      if (progress.wasCanceled()) {
        printer.abort();
        break;
      }
      if (i > first) printer.newPage();
      doc_.renderPage(painter, i);
    }
    painter.end();
  }

  const ReportDocument& doc_;
  QComboBox* zoom_ = nullptr;
  QLineEdit* find_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QVBoxLayout* pagesLayout_ = nullptr;
  QLabel* status_ = nullptr;
  std::vector<QLabel*> pageLabels_;
  int highlightPage_ = -1;
  std::vector<QRectF> highlights_;
  QString lastFind_;
  QString lastSaved_;
};

}  // namespace

void showReportPreview(QWidget* parent, const ReportDocument& document) {
  if (document.pageCount() == 0) return;
  PreviewDialog dialog(parent, document);
  dialog.exec();
}

}  // namespace bs
