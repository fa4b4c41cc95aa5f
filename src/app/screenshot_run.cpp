#include "app/screenshot_run.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/thai_text.h"
#include "commands/commands.h"
#include "commands/record_view.h"

namespace bs::app {

namespace {

bool saveScreen(MainWindow& window, const QString& path) {
  QPixmap shot;
  if (QScreen* screen = QGuiApplication::primaryScreen()) shot = screen->grabWindow(0);
  if (shot.isNull()) shot = window.grab();
  return shot.save(path, "PNG");
}

}  // namespace

void prefill(MainWindow& window, const QString& input, const QString& newFile, const QString& zip) {
  Session& s = window.session();
  if (!newFile.isEmpty()) {
    checkNew(s);
    s.form.edtNewFile.text = toPath(newFile);
  }
  if (!input.isEmpty()) s.form.edtFileInput.text = toPath(input);
  if (!zip.isEmpty()) s.form.edtZip.text = toPath(zip);
  window.refresh();
}

void startScreenshotRun(MainWindow& window, const QString& pngPath) {
  auto* watcher = new QTimer(&window);
  watcher->setInterval(400);
  QObject::connect(watcher, &QTimer::timeout, &window, [&window, pngPath] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    // Let the box paint before the picture is taken.
    if (!box->property("seen").toBool()) {
      box->setProperty("seen", true);
      return;
    }
    saveScreen(window, pngPath);
    window.setProperty("shot", true);
    if (QAbstractButton* b = box->defaultButton()) b->click();
  });
  watcher->start();
  QTimer::singleShot(1200, &window, [&window, pngPath, watcher] {
    // Without a payment file the picture is of the window as it starts.
    if (window.session().form.edtFileInput.text.empty()) {
      watcher->stop();
      saveScreen(window, pngPath);
      QApplication::quit();
      return;
    }
    window.run(ToolButton3Click);
    watcher->stop();
    // The window as the run left it, its last box answered: NAME-after.png.
    QTimer::singleShot(300, &window, [&window, pngPath] {
      QString after = pngPath;
      if (after.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) after.chop(4);
      after += QStringLiteral("-after.png");
      saveScreen(window, window.property("shot").toBool() ? after : pngPath);
      // A list of faults: the record of a credit row (or of the first row) in the inspector,
      // NAME-inspector.png.
      const Grid& grid = window.session().form.StringGrid1;
      int row = 0;
      for (int r = 1; r < grid.rowCount() && r < 200; ++r)
        if (gridRecordRef(grid, r) && (row == 0 || grid.cell(1, r) == "003")) {
          const bool credit = grid.cell(1, r) == "003";
          row = r;
          if (credit) break;
        }
      if (row == 0 || !window.inspectRow(row)) {
        QApplication::quit();
        return;
      }
      window.grid()->selectRow(row - 1);
      QTimer::singleShot(500, &window, [&window, after] {
        QString shot = after;
        shot.replace(QStringLiteral("-after.png"), QStringLiteral("-inspector.png"));
        saveScreen(window, shot);
        QApplication::quit();
      });
    });
  });
}

}  // namespace bs::app
