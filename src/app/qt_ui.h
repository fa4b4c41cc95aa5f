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
  std::optional<std::string> fileDialog(const FileDialogSpec& spec) override;
  void showReport(const ReportDocument& document) override;
  void progress(std::string_view stage, std::uint64_t done, std::uint64_t total) override;
  void formChanged() override;
  void exitProgram() override;

  void setWindow(QWidget* window) { window_ = window; }
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
};

}  // namespace bs::app
