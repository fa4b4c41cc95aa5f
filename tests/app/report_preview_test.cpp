#include "app/report_preview.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
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

ReportDocument twoPages() {
  ReportDocument doc;
  for (const char* text : {"PAYMENT REPORT", "Second page total 1,590.00"}) {
    PreparedPage page;
    page.texts.push_back({QRectF(20, 20, 150, 10), QString::fromLatin1(text), "DejaVu Sans", 12});
    page.texts.push_back({QRectF(20, 40, 150, 10),
                          QString::fromUtf16(u"\u0E1A\u0E23\u0E34\u0E29\u0E31\u0E17"),
                          "Noto Sans Thai", 12});
    page.lines.push_back({QLineF(20, 35, 190, 35)});
    doc.pages().push_back(page);
  }
  return doc;
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
  QWidget window;
  window.show();

  QStringList statuses;
  bool saved = false, closed = false;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      files->selectFile(QString::fromStdString(dir.path().string() + "/report"));
      QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
      return;
    }
    if (modal->windowTitle() != "Batchseal - Report preview" || closed) return;
    auto* status = modal->findChild<QLabel*>("status");
    auto* find = modal->findChild<QLineEdit*>("find");
    ASSERT_NE(status, nullptr);
    ASSERT_NE(find, nullptr);
    if (!saved) {
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
