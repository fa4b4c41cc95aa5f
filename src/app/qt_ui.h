#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <functional>

#include "core/ui.h"

class QWidget;

namespace bs::app {

// The converted form of a "desc|pattern|desc|pattern" filter for a Qt file dialog.
QString qtFilter(const char* filter);

// The window's message boxes, file dialogs, report preview and progress.  Every box is modal
// on the window and shows exactly the buttons the command asks for.
class QtUi : public Ui {
 public:
  explicit QtUi(QWidget* window);
  ~QtUi() override;

  void messageBox(std::string_view text) override;
  Answer messageDialog(DialogKind kind, std::string_view text, Buttons buttons) override;
  std::optional<std::string> fileDialog(const FileDialogSpec& setup) override;
  void showReport(const ReportDocument& document) override;
  void progress(std::string_view stage, std::uint64_t done, std::uint64_t total) override;
  void formChanged() override;
  void exitProgram() override;

  void setWindow(QWidget* window) { window_ = window; }
  // What the file dialogs of the next command are for: a title that names what is chosen, and
  // the path their field holds (empty: none).  A dialog starts in that path's folder, else in the
  // folder last chosen from since the program started, else in the user's home folder.
  void setFileDialogPlace(const QString& title, const QString& currentPath);
  // Called by the window when a command has ended: the progress dialog goes away.
  void commandEnded();
  // Runs whenever the Form changed and the window should show it.
  std::function<void()> onFormChanged;
  // Ends the program; the window sets it.
  std::function<void()> onExit;

 private:
  QWidget* window_;
  QPointer<QProgressDialog> progress_;
  QString stage_;
  QElapsedTimer sinceStart_;
  QElapsedTimer sinceRefresh_;
  bool formShown_ = false;
  QString dialogTitle_, dialogPath_, lastFolder_;

  QString startFolder() const;
};

}  // namespace bs::app
