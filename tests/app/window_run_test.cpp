#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/qt_ui.h"
#include "commands/commands.h"
#include "commands/session_setup.h"
#include "modal_answerer.h"
#include "support/test_support.h"

namespace bs::app {
namespace {

namespace fs = std::filesystem;

const std::string kPrompt = "There are some invalid ZNB Account.  Please choose action to do. ";
const std::string kConfirm = "Please Confirm to Ignore invalid ZNB Account. ";

std::string sample() {
  return bs::test::readFile(fs::path(BATCHSEAL_SOURCE_DIR) / "examples" / "sample-payment.txt");
}

// The sample with its debit account changed so that it fails the check digit: the only fault.
std::string sampleWithBadDebitAccount() {
  std::string bytes = sample();
  size_t debit = bytes.find("\r\n002") + 2;
  EXPECT_EQ(bytes.substr(debit + 14, 10), "1234567896");
  bytes.replace(debit + 14, 10, "1234567890");
  return bytes;
}

// The real window over the real message boxes and preview, as the program starts it.
struct WindowRun : ::testing::Test {
  bs::test::TempDir dir;
  fs::path home = bs::test::makeProgramFolder(dir);
  QtUi ui{nullptr};
  Session session{ui, ProgramPaths{home}, Clock::fixed("20261209")};
  std::unique_ptr<MainWindow> window;
  test::ModalAnswerer answers;

  void SetUp() override {
    setUpSession(session);
    window = std::make_unique<MainWindow>(session, &ui);
    ui.setWindow(window.get());
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
  void type(const char* name, const fs::path& path) {
    get<QLineEdit>(name)->clear();
    QTest::keyClicks(get<QLineEdit>(name), QString::fromStdString(path.string()));
  }
  QString text(const char* name) { return get<QLabel>(name)->text(); }
  // The hash line that opens an output file.
  static std::string hashLine(const fs::path& output) {
    std::string bytes = bs::test::readFile(output);
    return bytes.substr(0, bytes.find("\r\n"));
  }
};

TEST_F(WindowRun, ACleanFileIsSealedInEitherOutputModeAndItsReportShownUntilTheFormIsCleared) {
  struct Case {
    const char* name;
    bool newFile;
  };
  for (const Case& c : {Case{"replace", false}, Case{"new file", true}}) {
    SCOPED_TRACE(c.name);
    answers.seen.clear();
    fs::path input = dir / "pay.txt", zip = dir / "pay.zip", newFile = dir / "sealed.txt";
    fs::remove(zip);
    fs::remove(newFile);
    bs::test::writeFile(input, sample());
    if (c.newFile) click("rdoNew");
    type("edtFileInput", input);
    type("edtZip", zip);
    if (c.newFile) type("edtNewFile", newFile);

    click("ToolButton6");
    const std::string completed =
        "Generate hash value and add file to " + zip.string() + " completed";
    EXPECT_EQ(answers.texts(), std::vector<std::string>{completed});
    EXPECT_EQ(text("Label5"), "PAYMENT DETAIL");
    EXPECT_TRUE(text("Label4").startsWith("Company ID : ")) << text("Label4").toStdString();
    GridModel* grid = window->grid()->gridModel();
    EXPECT_EQ(grid->cellText(1, 0), "Product Type");
    EXPECT_EQ(grid->cellText(4, 0), "Amount");
    ASSERT_GE(grid->rowCount(), 3);
    // The model's rows leave out the header row: its last row is the Total row of the grid.
    EXPECT_EQ(grid->cellText(2, grid->rowCount()), "Total");
    const fs::path output = c.newFile ? newFile : input;
    const QString hash = get<QLineEdit>("edtHashvalue")->text();
    EXPECT_EQ(hash.size(), 40);
    EXPECT_EQ(hash.toStdString(), hashLine(output));
    EXPECT_TRUE(fs::exists(zip));
    if (c.newFile) {
      EXPECT_EQ(bs::test::readFile(input).substr(0, 3), "001") << "input kept";
    }
    EXPECT_FALSE(get<QWidget>("btnSaveError")->isEnabled());

    // "Report" opens the preview with the pages of the batch; the user closes it.
    int pages = 0;
    answers.onDialog = [&](QDialog* d) {
      EXPECT_EQ(d->windowTitle(), "Batchseal - Report preview");
      if (auto* status = d->findChild<QLabel*>("status"))
        pages = status->text().section(' ', 0, 0).toInt();
      for (QAction* a : d->findChild<QToolBar*>()->actions())
        if (a->text() == "Close") a->trigger();
    };
    click("ToolButton7");
    EXPECT_EQ(answers.dialogs, 1);
    EXPECT_GE(pages, 1);
    EXPECT_TRUE(window->isEnabled());

    // After "Clear Form" the report is gone until the next run.
    click("ToolButton8");
    EXPECT_EQ(get<QLineEdit>("edtHashvalue")->text(), "");
    EXPECT_EQ(text("Label5"), "");
    answers.seen.clear();
    click("ToolButton7");
    EXPECT_EQ(answers.dialogs, 1);
    EXPECT_TRUE(answers.seen.empty());
    answers.dialogs = 0;
    answers.onDialog = nullptr;
  }
}

TEST_F(WindowRun, InvalidHomeBankAccountsAreAbortedIgnoredOrTheQuestionClosed) {
  using Seen = test::ModalAnswerer::Seen;
  struct Case {
    const char* name;
    std::vector<std::string> script;
    std::vector<Seen> expected;
    bool sealed;
    const char* status;
    bool saveEnabled;
  };
  const fs::path zip = dir / "pay.zip";
  const std::vector<Case> cases = {
      {"abort",
       {"&Abort"},
       {{"Warning", kPrompt, "&Abort"}, {"Error", "Error Data", ""}},
       false,
       "Invalid data fields",
       true},
      {"ignore, then cancel",
       {"&Ignore", "Cancel"},
       {{"Warning", kPrompt, "&Ignore"},
        {"Confirm", kConfirm, "Cancel"},
        {"Error", "Error Data", ""}},
       false,
       "Invalid data fields",
       true},
      {"closed through the frame", {"close"}, {{"Warning", kPrompt, "close"}}, false, "", false},
      {"ignore, then Enter cancels",
       {"&Ignore", ""},
       {{"Warning", kPrompt, "&Ignore"}, {"Confirm", kConfirm, ""}, {"Error", "Error Data", ""}},
       false,
       "Invalid data fields",
       true},
      {"ignore, then yes",
       {"&Ignore", "&Yes"},
       {{"Warning", kPrompt, "&Ignore"},
        {"Confirm", kConfirm, "&Yes"},
        {"Batchseal", "Generate hash value and add file to " + zip.string() + " completed", ""}},
       true,
       nullptr,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(zip);
    fs::path input = dir / "pay.txt";
    bs::test::writeFile(input, sampleWithBadDebitAccount());
    type("edtFileInput", input);
    type("edtZip", zip);
    answers.seen.clear();
    answers.script.assign(c.script.begin(), c.script.end());
    click("ToolButton6");
    EXPECT_EQ(answers.seen, c.expected);
    EXPECT_EQ(fs::exists(zip), c.sealed);
    EXPECT_EQ(get<QWidget>("btnSaveError")->isEnabled(), c.saveEnabled);
    if (c.status) {
      EXPECT_EQ(text("Label4").toStdString(), c.status);
    }
    if (c.sealed) {
      EXPECT_EQ(get<QLineEdit>("edtHashvalue")->text().toStdString(), hashLine(input));
      EXPECT_EQ(text("Label5"), "PAYMENT DETAIL");
    } else {
      EXPECT_EQ(get<QLineEdit>("edtHashvalue")->text(), "");
      EXPECT_EQ(bs::test::readFile(input), sampleWithBadDebitAccount()) << "payment file kept";
    }
    EXPECT_TRUE(get<QWidget>("ToolButton6")->isEnabled());
  }
}

TEST_F(WindowRun, ASealWhoseArchiveFailsShowsNoHashValue) {
  fs::path input = dir / "pay.txt";
  bs::test::writeFile(input, sample());
  type("edtFileInput", input);
  type("edtZip", dir / "no such folder" / "pay.zip");
  click("ToolButton6");
  ASSERT_EQ(answers.seen.size(), 1u);
  EXPECT_EQ(answers.seen[0].title, "Error");
  EXPECT_EQ(get<QLineEdit>("edtHashvalue")->text(), "");
  EXPECT_TRUE(get<QWidget>("ToolButton6")->isEnabled());
}

}  // namespace
}  // namespace bs::app
