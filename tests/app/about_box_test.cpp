#include <gtest/gtest.h>

#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include "app/main_window.h"
#include "commands/commands.h"
#include "commands/version_info.h"
#include "core/scripted_ui.h"
#include "modal_answerer.h"
#include "support/test_support.h"

namespace bs::app {
namespace {

TEST(AboutBox, OpensFromF1AndFromTheLogoWithEveryLibrary) {
  bs::test::TempDir dir;
  ScriptedUi ui;
  Session session{ui, ProgramPaths{dir.path()}, Clock::fixed("20261209")};
  MainWindow window(session);
  runCommand(session, FormCreate);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  test::ModalAnswerer answers;
  std::vector<int> libraries;
  answers.onDialog = [&](QDialog* d) {
    auto* table = d->findChild<QTableWidget*>(QStringLiteral("libraries"));
    libraries.push_back(d->objectName() == "AboutBox" && table ? table->rowCount() : -1);
  };
  QTest::keyClick(&window, Qt::Key_F1);
  QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("Image1")), Qt::LeftButton);
  const int shipped = static_cast<int>(libraryVersions().size());
  EXPECT_EQ(libraries, (std::vector<int>{shipped, shipped}));
}

}  // namespace
}  // namespace bs::app
