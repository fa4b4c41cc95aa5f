// The reports of a sealed batch in the preview, as the window shows them: seals a payment file,
// presses Report, and measures the time to the reports being prepared and to the first page
// drawn, then goes to the last page, and pages through at 400 % and at fit width.  Prints the times
// and the peak resident memory of the process; with --screenshots DIR it also saves the preview at
// its first and last page.
//
//   report_preview_bench --home DIR --input FILE --zip FILE [--screenshots DIR]
#include <sys/resource.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/report_preview.h"
#include "commands/commands.h"
#include "commands/session_setup.h"
#include "core/scripted_ui.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

long peakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

struct PreviewUi : bs::ScriptedUi {
  std::string screenshots;
  Clock::time_point prepared, firstPage, lastPage;
  int pages = 0;

  void showReport(const bs::ReportDocument& doc) override {
    ScriptedUi::showReport(doc);
    prepared = Clock::now();
    pages = doc.pageCount();
    auto* poll = new QTimer;
    poll->setInterval(0);
    int step = 0;
    QObject::connect(poll, &QTimer::timeout, [this, poll, step]() mutable {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog || !dialog->isVisible()) return;
      auto* view = dialog->findChild<QAbstractScrollArea*>("pages");
      if (!view) return;
      if (step == 0) {
        // Grabbing paints the view as the screen would.
        QPixmap shot = dialog->grab();
        firstPage = Clock::now();
        if (!screenshots.empty()) shot.save(QString::fromStdString(screenshots + "/first.png"));
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
        QApplication::sendEvent(view, &end);
        step = 1;
        return;
      }
      QPixmap shot = dialog->grab();
      lastPage = Clock::now();
      if (!screenshots.empty()) shot.save(QString::fromStdString(screenshots + "/last.png"));
      // Memory at the largest zoom and at fit width, paging through from the start.
      auto* zoom = dialog->findChild<QComboBox*>("zoom");
      for (const char* choice : {"400%", "Fit width"}) {
        zoom->setCurrentIndex(zoom->findText(choice));
        QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
        QApplication::sendEvent(view, &home);
        for (int i = 0; i < 30; ++i) {
          (void)dialog->grab();
          QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
          QApplication::sendEvent(view, &down);
        }
      }
      poll->stop();
      poll->deleteLater();
      dialog->close();
    });
    poll->start();
    bs::showReportPreview(nullptr, doc);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::string home, input, zip, screenshots;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--home"))
      home = argv[i + 1];
    else if (!std::strcmp(argv[i], "--input"))
      input = argv[i + 1];
    else if (!std::strcmp(argv[i], "--zip"))
      zip = argv[i + 1];
    else if (!std::strcmp(argv[i], "--screenshots"))
      screenshots = argv[i + 1];
  }
  if (home.empty() || input.empty() || zip.empty()) {
    std::fprintf(stderr,
                 "usage: report_preview_bench --home DIR --input FILE --zip FILE "
                 "[--screenshots DIR]\n");
    return 2;
  }
  PreviewUi ui;
  ui.screenshots = screenshots;
  bs::Session session(ui, bs::ProgramPaths{home}, bs::Clock::system());
  bs::setUpSession(session);
  bs::runCommand(session, bs::FormCreate);
  session.form.edtFileInput.text = input;
  session.form.edtZip.text = zip;
  auto sealStart = Clock::now();
  bs::runCommand(session, bs::ToolButton3Click);
  auto pressed = Clock::now();
  if (!session.state.reportReady) {
    std::fprintf(stderr, "report_preview_bench: the seal did not complete\n");
    for (const auto& m : ui.messages()) std::fprintf(stderr, "  %s\n", m.c_str());
    return 1;
  }
  bs::runCommand(session, bs::ToolButton4Click);
  if (ui.pages == 0) {
    std::fprintf(stderr, "report_preview_bench: no report was shown\n");
    return 1;
  }
  std::printf("seal %.2f s\n", seconds(sealStart, pressed));
  std::printf("pages %d\n", ui.pages);
  std::printf("Report pressed -> reports prepared %.2f s\n", seconds(pressed, ui.prepared));
  std::printf("reports prepared -> first page drawn %.2f s\n", seconds(ui.prepared, ui.firstPage));
  std::printf("Report pressed -> first page drawn %.2f s\n", seconds(pressed, ui.firstPage));
  std::printf("first page -> last page drawn %.2f s\n", seconds(ui.firstPage, ui.lastPage));
  std::printf("peak resident %ld MiB\n", peakMiB());
  return 0;
}
