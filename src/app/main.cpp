#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

#include "app/main_window.h"
#include "app/qt_ui.h"
#include "app/screenshot_run.h"
#include "commands/commands.h"
#include "commands/session_setup.h"
#include "commands/version_info.h"
#include "core/program_folder.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: batchseal [--home DIR] [--input FILE] [--zip FILE] [--new-file FILE]\n"
               "                 [--screenshot PNG] [FILE]\n"
               "       batchseal --version\n"
               "FILE, as from a file manager, names the payment file (a .zip: the archive).\n");
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before the window system is needed, so that it also works without a display.
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--version") {
      std::fputs(bs::versionText("batchseal").c_str(), stdout);
      return 0;
    }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Batchseal"));

  QString home;
  QString input, zip, newFile, screenshot, opened;
  const QStringList args = QCoreApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&](QString& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    bool ok = true;
    if (a == QStringLiteral("--home"))
      ok = value(home);
    else if (a == QStringLiteral("--input"))
      ok = value(input);
    else if (a == QStringLiteral("--zip"))
      ok = value(zip);
    else if (a == QStringLiteral("--new-file"))
      ok = value(newFile);
    else if (a == QStringLiteral("--screenshot"))
      ok = value(screenshot);
    else if (!a.startsWith(QLatin1Char('-')) && opened.isEmpty())
      opened = QFileInfo(a).absoluteFilePath();
    else
      ok = false;
    if (!ok) {
      usage();
      return 2;
    }
  }

  std::optional<std::filesystem::path> homeOverride;
  if (!home.isEmpty()) homeOverride = QDir(home).absolutePath().toStdString();
  const bs::ProgramFolderChoice folder = bs::chooseProgramFolder(homeOverride);
  if (!folder.problem.empty()) {
    QMessageBox::critical(nullptr, QStringLiteral("Error"), QString::fromStdString(folder.problem));
    return 1;
  }

  bs::app::QtUi ui(nullptr);
  bs::Session session(ui, folder.paths, bs::Clock::system());
  bs::setUpSession(session);
  bs::app::MainWindow window(session, &ui);
  ui.setWindow(&window);
  bs::runCommand(session, bs::FormCreate);
  bs::app::prefill(window, input, newFile, zip);
  if (!opened.isEmpty()) window.openFile(opened);
  // Without a window manager (a virtual screen) nobody maximises the window; it is sized here.
  if (!screenshot.isEmpty())
    if (QScreen* screen = QGuiApplication::primaryScreen())
      window.setGeometry(screen->availableGeometry());
  window.showMaximized();
  if (!screenshot.isEmpty()) bs::app::startScreenshotRun(window, screenshot);
  return QApplication::exec();
}
