#include "app/report_preview.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWidget>
#include <filesystem>

#include "reports/engine/report_document.h"
#include "support/test_support.h"

namespace bs {
namespace {

namespace fs = std::filesystem;

// A portrait page and a landscape one, as the payment report and its detail.
ReportDocument twoPages() {
  ReportDocument doc;
  doc.setTitle("Payment report - payroll.txt");
  for (const char* text : {"PAYMENT REPORT", "Second page total 1,590.00"}) {
    PreparedPage page;
    if (doc.pageCount() == 1) page.sizeMm = QSizeF(297, 210);
    page.texts.push_back({QRectF(20, 20, 150, 10), QString::fromLatin1(text), "DejaVu Sans", 12});
    page.texts.push_back({QRectF(20, 40, 150, 10),
                          QString::fromUtf16(u"\u0E1A\u0E23\u0E34\u0E29\u0E31\u0E17"),
                          "Noto Sans Thai", 12});
    page.lines.push_back({QLineF(20, 35, 190, 35)});
    doc.pages().push_back(page);
  }
  return doc;
}

// The page sizes of a PDF file in points, one "W x H" a page, and its title.
QStringList pdfPages(const fs::path& pdf) {
  QProcess p;
  p.start("pdfinfo", {"-f", "1", "-l", "9", QString::fromStdString(pdf.string())});
  p.waitForFinished(30000);
  QStringList out;
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
    if (line.startsWith("Title:") || (line.startsWith("Page ") && line.contains("size:")))
      out << line.section(':', 1).section('(', 0, 0).trimmed();
  return out;
}

QAction* action(QWidget* dialog, const char* text) {
  for (QAction* a : dialog->findChild<QToolBar*>()->actions())
    if (a->text() == QLatin1String(text)) return a;
  ADD_FAILURE() << "no action " << text;
  return nullptr;
}

// The user's session with the preview: find texts, save a PDF, then close.
TEST(ReportPreview, FindsTextsSavesAPdfAndCloses) {
  test::TempDir dir;
  const fs::path pdf = dir / "report.pdf";
  ReportDocument doc = twoPages();
  doc.setSourceFile((dir / "payroll.txt").string());
  QWidget window;
  window.show();

  QStringList statuses, pageBox;
  QString saveTitle, suggested;
  bool saved = false, closed = false;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      saveTitle = files->windowTitle();
      suggested = files->selectedFiles().value(0);
      // Typed into the name box: selectFile() leaves the box alone once it has the focus.
      auto* name = files->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText(QString::fromStdString(dir.path().string() + "/report"));
      QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
      return;
    }
    if (modal->windowTitle() != "Batchseal - Report preview" || closed) return;
    auto* status = modal->findChild<QLabel*>("status");
    auto* find = modal->findChild<QLineEdit*>("find");
    ASSERT_NE(status, nullptr);
    ASSERT_NE(find, nullptr);
    if (!saved) {
      // The pages have the keyboard: Page Down, End and Home move through them.
      auto* box = modal->findChild<QSpinBox*>("page");
      QWidget* pages = modal->focusWidget();
      ASSERT_NE(pages, nullptr);
      EXPECT_EQ(pages->objectName(), "pages");
      for (int key : {0, int(Qt::Key_PageDown), int(Qt::Key_Home), int(Qt::Key_End)}) {
        if (key) QTest::keyClick(pages, Qt::Key(key));
        pageBox << box->text();
      }
      statuses << status->text();
      QTest::keyClicks(find, "page total");
      QTest::keyClick(find, Qt::Key_Return);
      statuses << status->text();
      find->clear();
      QTest::keyClicks(find, "no such words");
      QTest::keyClick(find, Qt::Key_Return);
      statuses << status->text();
      saved = true;
      // Saving opens a file dialog of its own; it is answered on a later tick.
      QTimer::singleShot(0, modal, [modal] { action(modal, "Save")->trigger(); });
      return;
    }
    if (status->text().startsWith("Saved ")) {
      statuses << status->text();
      closed = true;
      action(modal, "Close")->trigger();
    }
  });
  poll.start();
  showReportPreview(&window, doc);

  EXPECT_TRUE(closed) << "the preview returned after Close";
  ASSERT_EQ(statuses.size(), 4);
  EXPECT_EQ(statuses[0], "2 page(s)");
  EXPECT_EQ(statuses[1], "\"page total\" found on page 2.");
  EXPECT_EQ(statuses[2], "\"no such words\" was not found.");
  EXPECT_EQ(statuses[3], "Saved " + QString::fromStdString(pdf.string()));
  EXPECT_EQ(pageBox, QStringList({"1 of 2", "2 of 2", "1 of 2", "2 of 2"}));
  EXPECT_EQ(saveTitle, "Save report as PDF");
  EXPECT_EQ(suggested, QString::fromStdString((dir / "payroll.pdf").string()));
  ASSERT_TRUE(fs::exists(pdf)) << "the name got its .pdf";
  EXPECT_EQ(test::readFile(pdf).substr(0, 5), "%PDF-");

  const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
  if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
  QProcess p;
  p.start(pdftotext, {QString::fromStdString(pdf.string()), "-"});
  ASSERT_TRUE(p.waitForFinished(30000));
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  EXPECT_TRUE(text.contains("PAYMENT REPORT")) << text.toStdString();
  EXPECT_TRUE(text.contains("Second page total 1,590.00")) << text.toStdString();
  EXPECT_EQ(text.count(QChar('\f')), 2) << "two pages";

  // Printing to a PDF printer gives the pages of Save: each in its own orientation.
  const fs::path printed = dir / "printed.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(printed.string()));
  ASSERT_TRUE(printReport(printer, doc, 0, 1));
  const QStringList savedPages = pdfPages(pdf);
  EXPECT_EQ(savedPages,
            QStringList({"Payment report - payroll.txt", "595 x 842 pts", "842 x 595 pts"}));
  EXPECT_EQ(pdfPages(printed).mid(1), savedPages.mid(1));
}

TEST(ReportPreview, ADocumentWithoutPagesOpensNoWindow) {
  QWidget window;
  bool opened = false;
  QTimer::singleShot(200, [&] {
    if (QWidget* m = QApplication::activeModalWidget()) {
      opened = true;
      m->close();
    }
  });
  showReportPreview(&window, ReportDocument{});
  QTest::qWait(300);
  EXPECT_FALSE(opened);
}

}  // namespace
}  // namespace bs
