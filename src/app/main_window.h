#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <functional>

#include "commands/commands.h"
#include "core/session.h"

class QGroupBox;
class QFrame;

namespace bs::app {

class GridView;
class QtUi;
class RecordInspector;

// The main window, TForm1.  It shows the Session's Form and runs every command through the same
// runCommand as batchseal-cli: the user's edits of the text boxes go into the Form before a
// command runs, and the window shows the Form again when it has ended.
class MainWindow : public QMainWindow {
 public:
  // `qtUi` is the adapter behind session.ui when the window talks to a person (null in tests
  // that script the answers).
  MainWindow(Session& session, QtUi* qtUi = nullptr);

  Session& session() { return session_; }
  // Runs one handler as a press of its control does.  Ignored while another command runs.
  void run(void (*handler)(Session&));
  void run(Outcome (*handler)(Session&));
  // Shows the Form.
  void refresh();
  // Names a file in its box as a drop on the window does: an archive in edtZip, else the
  // payment file in edtFileInput.
  void openFile(const QString& path) { dropFile(path, nullptr); }
  GridView* grid() const { return StringGrid1; }
  // Shows the record of grid row `row` in the inspector; false when the row names no line.
  bool inspectRow(int row);
  RecordInspector* inspector() const { return inspector_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void runGuarded(const std::function<void()>& command);
  // Titles the next file dialog and points it at its field's folder.
  void placeFileDialog(void (*handler)(Session&));
  void buildBars();
  void buildInformation(QWidget* parent);
  void buildResult(QWidget* parent);
  void layOut();
  void writeBack();
  void addShortcuts();
  void connectInspector();
  void dropFile(const QString& path, QObject* onto);
  bool eventFilter(QObject* watched, QEvent* event) override;

  Session& session_;
  QtUi* qtUi_;
  bool busy_ = false;

  QWidget* content_ = nullptr;
  QWidget* ToolBar1 = nullptr;
  QLabel* Image1 = nullptr;
  QFrame* ToolBar2 = nullptr;
  QToolButton* ToolButton2 = nullptr;
  QToolButton* ToolButton6 = nullptr;
  QToolButton* ToolButton7 = nullptr;
  QToolButton* ToolButton8 = nullptr;
  QPushButton* Button1 = nullptr;

  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* edtFileInput = nullptr;
  QPushButton* btnOpenFile = nullptr;
  QPushButton* btnClearFile = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QRadioButton* rdoReplace = nullptr;
  QRadioButton* rdoNew = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* edtNewFile = nullptr;
  QPushButton* btnOpenNew = nullptr;
  QPushButton* btnClearNew = nullptr;
  QLabel* Label7 = nullptr;
  QLineEdit* edtZip = nullptr;
  QPushButton* btnOpenZip = nullptr;
  QPushButton* btnClearZip = nullptr;

  QGroupBox* GroupBox4 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* edtHashvalue = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label4 = nullptr;
  GridView* StringGrid1 = nullptr;
  RecordInspector* inspector_ = nullptr;
  int inspectedRow_ = 0;  // the grid row the inspector shows
  QPushButton* btnSaveError = nullptr;

  // The texts last shown in the boxes: a box the user did not touch keeps the Form's bytes.
  QString shownFileInput_, shownNewFile_, shownZip_, shownHash_;
};

}  // namespace bs::app
