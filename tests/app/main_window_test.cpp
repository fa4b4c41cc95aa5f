#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "app/grid_view.h"
#include "app/record_inspector.h"
#include "commands/commands.h"
#include "commands/session_setup.h"
#include "core/error_list.h"
#include "core/scripted_ui.h"
#include "support/faulty_sample.h"
#include "support/test_support.h"

namespace bs::app {
namespace {

namespace fs = std::filesystem;

// A window over a scripted Ui, started as the program starts it.
struct WindowFixture : ::testing::Test {
  test::TempDir dir;
  ScriptedUi ui;
  Session session{ui, ProgramPaths{dir.path()}, Clock::fixed("20261209")};
  std::unique_ptr<MainWindow> window;

  void SetUp() override {
    window = std::make_unique<MainWindow>(session);
    runCommand(session, FormCreate);
    window->refresh();
    window->show();
  }
  template <typename W>
  W* get(const char* name) {
    W* w = window->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void click(const char* name) { QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton); }
  QLineEdit* box(const char* name) { return get<QLineEdit>(name); }
  void type(const char* name, const QString& text) {
    box(name)->clear();
    // Typed where the keyboard can, pasted otherwise.
    bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
      QTest::keyClicks(box(name), text);
    else
      box(name)->insert(text);
  }
};

TEST_F(WindowFixture, StartsInReplaceModeWithSaveDisabledAndAnEmptyGrid) {
  EXPECT_EQ(window->windowTitle(), "Batchseal 1.5.4");
  EXPECT_TRUE(get<QRadioButton>("rdoReplace")->isChecked());
  EXPECT_FALSE(get<QRadioButton>("rdoNew")->isChecked());
  for (const char* off : {"edtNewFile", "btnOpenNew", "btnClearNew", "btnSaveError"})
    EXPECT_FALSE(get<QWidget>(off)->isEnabled()) << off;
  for (const char* on : {"Label3", "edtFileInput", "edtZip", "edtHashvalue", "ToolButton2",
                         "ToolButton6", "ToolButton7", "ToolButton8", "Button1"})
    EXPECT_TRUE(get<QWidget>(on)->isEnabled()) << on;
  // Captions as shown ('&' marks the access key), and the shortcut each tooltip names.
  struct Caption {
    const char* name;
    const char* shown;
    const char* tip;
  };
  // clang-format off
  for (const Caption& c : {Caption{"ToolButton2", "Exit ", "(Ctrl+Q, Alt+X)"},
                           Caption{"ToolButton6", "       Batchseal       ", "(F5, Alt+B)"},
                           Caption{"ToolButton7", "Report", "(Ctrl+P, Alt+R)"},
                           Caption{"ToolButton8", "Clear Form", "(Alt+F)"},
                           Caption{"Button1", "Calculate Tier Rate Report", "(Ctrl+T, Alt+T)"},
                           Caption{"btnOpenFile", "Open", "(Ctrl+O, Alt+O)"},
                           Caption{"btnClearZip", "Clear", "(Alt+A)"},
                           Caption{"btnSaveError", "Save", "(Ctrl+S, Alt+S)"}}) {
    // clang-format on
    QAbstractButton* b = get<QAbstractButton>(c.name);
    EXPECT_EQ(b->text().remove(QLatin1Char('&')), c.shown) << c.name;
    EXPECT_TRUE(b->toolTip().endsWith(QString::fromLatin1(c.tip))) << b->toolTip().toStdString();
  }
  EXPECT_EQ(window->grid()->model()->rowCount(), 1) << "2 rows, the first fixed";
  EXPECT_EQ(window->grid()->model()->columnCount(), 1) << "2 columns, the first fixed";
  EXPECT_FALSE(session.state.reportReady);
}

TEST_F(WindowFixture, OpenFollowedByCancelEmptiesTheBox) {
  struct Case {
    const char* box;
    const char* open;
    const char* dialog;
  };
  checkNew(session);
  window->refresh();
  for (const Case& c :
       {Case{"edtFileInput", "btnOpenFile", "dlg1"}, Case{"edtNewFile", "btnOpenNew", "sdlg"},
        Case{"edtZip", "btnOpenZip", "dlgZip"}}) {
    SCOPED_TRACE(c.box);
    type(c.box, "/tmp/old path.txt");
    ui.files.push_back(std::nullopt);
    click(c.open);
    EXPECT_EQ(box(c.box)->text(), "");
    EXPECT_EQ(ui.shown.back().text, c.dialog);
    ui.files.push_back("/data/chosen.txt");
    click(c.open);
    EXPECT_EQ(box(c.box)->text(), "/data/chosen.txt");
  }
}

TEST_F(WindowFixture, SwitchingToReplaceDropsTheNewFileName) {
  click("rdoNew");
  EXPECT_TRUE(box("edtNewFile")->isEnabled());
  type("edtNewFile", "/tmp/out.txt");
  click("rdoReplace");
  EXPECT_EQ(box("edtNewFile")->text(), "");
  EXPECT_FALSE(box("edtNewFile")->isEnabled());
  click("rdoNew");
  EXPECT_TRUE(box("edtNewFile")->isEnabled());
  EXPECT_EQ(box("edtNewFile")->text(), "");
  click("rdoNew");  // clicking the checked button changes nothing
  EXPECT_TRUE(get<QRadioButton>("rdoNew")->isChecked());
  EXPECT_FALSE(get<QRadioButton>("rdoReplace")->isChecked());
}

TEST_F(WindowFixture, ClearFormInNewFileModeGreysTheLabelUntilNewFileIsClicked) {
  click("rdoNew");
  type("edtFileInput", "/tmp/in.txt");
  type("edtZip", "/tmp/out.zip");
  type("edtNewFile", "/tmp/out.txt");
  type("edtHashvalue", "ABC");
  setUpErrorList(session.form);
  reportFault(session, "002", 2, "4-6", "Product", "bad");
  session.state.reportReady = true;
  fs::path temp1 = dir / "Temp1";
  test::writeFile(temp1, "scratch");
  window->refresh();
  EXPECT_TRUE(get<QWidget>("btnSaveError")->isEnabled());

  click("ToolButton8");
  EXPECT_TRUE(get<QRadioButton>("rdoReplace")->isChecked());
  EXPECT_FALSE(get<QWidget>("Label3")->isEnabled());
  for (const char* b : {"edtFileInput", "edtZip", "edtNewFile", "edtHashvalue"})
    EXPECT_EQ(box(b)->text(), "") << b;
  EXPECT_EQ(get<QLabel>("Label4")->text(), "");
  EXPECT_FALSE(get<QWidget>("btnSaveError")->isEnabled());
  EXPECT_FALSE(session.state.reportReady);
  EXPECT_FALSE(fs::exists(temp1));
  EXPECT_EQ(window->grid()->model()->rowCount(), 1);

  click("rdoNew");
  EXPECT_TRUE(get<QWidget>("Label3")->isEnabled());
  click("rdoReplace");
  EXPECT_TRUE(get<QWidget>("Label3")->isEnabled());
}

TEST_F(WindowFixture, ExitAnsweredNoChangesNothingAndYesEndsTheProgram) {
  type("edtFileInput", "/tmp/in.txt");
  ui.answers.push_back(Answer::No);
  click("ToolButton2");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Do you want to exit program?");
  EXPECT_EQ(ui.shown[0].kind, "information");
  EXPECT_FALSE(ui.exited);
  EXPECT_EQ(box("edtFileInput")->text(), "/tmp/in.txt");
  ui.answers.push_back(Answer::Closed);
  click("ToolButton2");
  EXPECT_FALSE(ui.exited);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ui.answers.push_back(Answer::Yes);
  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);  // the Exit shortcut
  EXPECT_EQ(ui.shown.size(), 3u);
  EXPECT_TRUE(ui.exited);
}

TEST_F(WindowFixture, ADroppedFileIsNamedInItsBox) {
  struct Case {
    const char* onto;  // null: the window
    const char* file;
    const char* box;
  };
  checkNew(session);
  window->refresh();
  // clang-format off
  for (const Case& c : {Case{nullptr, "/data/pay.txt", "edtFileInput"},
                        Case{"edtFileInput", "/data/other.txt", "edtFileInput"},
                        Case{"edtFileInput", "/data/pay.ZIP", "edtZip"},
                        Case{nullptr, "/data/a.zip", "edtZip"},
                        Case{"edtNewFile", "/data/out.txt", "edtNewFile"},
                        Case{"edtHashvalue", "/data/last.txt", "edtFileInput"}}) {
    // clang-format on
    SCOPED_TRACE(c.file);
    QWidget* target = c.onto ? static_cast<QWidget*>(box(c.onto)) : window.get();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromLatin1(c.file))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(box(c.box)->text(), c.file);
  }
  EXPECT_EQ(session.form.edtFileInput.text, "/data/last.txt");
  EXPECT_EQ(box("edtHashvalue")->text(), "") << "a drop is no text";
}

TEST_F(WindowFixture, EditsReachTheFormAsBytesBeforeACommandRuns) {
  type("edtFileInput", QString::fromUtf16(u"/tmp/\u0E01.txt"));
  type("edtHashvalue", QString::fromUtf16(u"AB\u0E01"));
  click("btnClearZip");  // any command
  EXPECT_EQ(session.form.edtFileInput.text, "/tmp/\xE0\xB8\x81.txt") << "a path of this system";
  EXPECT_EQ(session.form.edtHashvalue.text, "AB\xA1") << "a text of the Thai code page";
  // Bytes a box shows but the user never touched stay as they were.
  session.form.edtHashvalue.text = "\xDB";
  window->refresh();
  click("btnClearZip");
  EXPECT_EQ(session.form.edtHashvalue.text, "\xDB");
}

TEST_F(WindowFixture, AFailedCommandShowsItsMessageAndLeavesTheWindowUsable) {
  // A letter in a debit's No. of Credits ends the validation with a conversion failure.
  const std::string input = (dir / "in.txt").string();
  test::writeFile(input, test::joinLines({test::LineBuilder("001", 96),
                                          test::LineBuilder("002", 109).set(73, 78, "0000X1"),
                                          test::LineBuilder("999", 31)}));
  type("edtFileInput", QString::fromStdString(input));
  click("Button1");  // a command whose failure ends it
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown.back().kind, "error");
  EXPECT_EQ(box("edtFileInput")->text(), QString::fromStdString(input));
  EXPECT_TRUE(get<QWidget>("ToolButton6")->isEnabled());
  click("btnClearFile");
  EXPECT_EQ(box("edtFileInput")->text(), "");
}

TEST_F(WindowFixture, ARefusedRunThroughTheWindowListsTheOffendingLines) {
  setUpSession(session);
  fs::path input = dir / "in.txt";
  test::writeFile(input,
                  test::joinLines({test::LineBuilder("001", 96), test::LineBuilder("0X2", 109),
                                   test::LineBuilder("999", 31)}));
  type("edtFileInput", QString::fromStdString(input.string()));
  type("edtZip", QString::fromStdString((dir / "out.zip").string()));
  click("ToolButton6");
  EXPECT_EQ(ui.messages().back(), "Error Data !");
  GridModel* model = window->grid()->gridModel();
  ASSERT_GE(model->rowCount(), 2);
  EXPECT_EQ(model->cellText(1, 1), "2") << "the line of the unknown record type";
  EXPECT_FALSE(fs::exists(dir / "out.zip"));
  EXPECT_TRUE(get<QWidget>("ToolButton6")->isEnabled());
}

TEST_F(WindowFixture, ClickingAnErrorRowShowsItsRecordWithTheFaultyFieldMarked) {
  session.paths.programFolder = test::makeProgramFolder(dir);
  setUpSession(session);
  fs::path input = dir / "in.txt";
  test::writeFile(input, test::faultySample());
  type("edtFileInput", QString::fromStdString(input.string()));
  type("edtZip", QString::fromStdString((dir / "out.zip").string()));
  click("ToolButton6");
  GridView* grid = window->grid();
  ASSERT_EQ(grid->gridModel()->cellText(1, 3), "003");
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualRect(grid->gridModel()->index(2, 1)).center());
  RecordInspector* inspector = window->inspector();
  ASSERT_TRUE(inspector->isVisible());
  EXPECT_EQ(inspector->markedField(), "Credit Amount");
  // The debit's currency row; the debit's amount, faulty too, is marked as well.
  ASSERT_TRUE(window->inspectRow(2));
  EXPECT_EQ(inspector->markedField(), "Debit Currency");
  EXPECT_EQ(inspector->otherFaultFields(), std::vector<QString>{"Debit Amount"});
  QTest::keyClick(inspector, Qt::Key_Escape);
  EXPECT_FALSE(inspector->isVisible());
  ASSERT_TRUE(window->inspectRow(1));
  QTest::keyClick(grid, Qt::Key_Escape);
  EXPECT_FALSE(inspector->isVisible());
  EXPECT_TRUE(grid->isVisible());
}

TEST_F(WindowFixture, SaveExportsTheListInTheFormatOfTheLastRun) {
  struct Case {
    const char* name;
    bool types, lengths;
    std::vector<std::string_view> row;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"types", false, false, {"1", "7"}, "LineNo : 7 Record type invalid code\r\n"},
      {"lengths",
       true,
       false,
       {"1", "999", "12"},
       "LineNo.: 12 Invalid length in record type 999\r\n"},
      {"validation",
       true,
       true,
       {"1", "002", "2", "73-78", "F", "M"},
       "Record Type:  002  LineNo.:  2  Column:  73-78  Field Name:  F  Message:  M\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ui.shown.clear();
    session.state.recordTypesValid = c.types;
    session.state.recordLengthsValid = c.lengths;
    session.state.batchValid = false;
    Grid& g = session.form.StringGrid1;
    g.setRowCount(1);
    g.setCells(1, c.row);
    g.setRowCount(3);
    markInvalid(session.form);
    window->refresh();
    fs::path out = dir / (std::string(c.name) + ".txt");
    ui.files.push_back(out.string());
    click("btnSaveError");
    EXPECT_EQ(test::readFile(out), c.line);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error data save success"});
  }
}

}  // namespace
}  // namespace bs::app
