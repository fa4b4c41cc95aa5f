#include "app/qt_ui.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "core/form.h"

namespace bs::app {
namespace {

// Acts on the first modal box (or file dialog) once it is up.
template <typename Box = QMessageBox>
void whenBoxIsUp(std::function<void(Box*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(box);
  });
  timer->start();
}

QStringList captions(QMessageBox* box) {
  QStringList out;
  for (QAbstractButton* b : box->buttons()) out << b->text();
  return out;
}

QAbstractButton* buttonCalled(QMessageBox* box, const QString& caption) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == caption) return b;
  return nullptr;
}

enum class Act { Click, Escape, Enter, CloseFrame, EscapeThenClose };

TEST(QtUi, MessageDialogsShowExactlyTheirButtonsAndTellACloseApart) {
  struct Case {
    const char* name;
    Buttons buttons;
    QStringList expectedCaptions;
    Act act;
    const char* click;
    Answer expected;
  };
  const std::vector<Case> cases = {
      {"abort", Buttons::AbortIgnore, {"&Abort", "&Ignore"}, Act::Click, "&Abort", Answer::Abort},
      {"ignore",
       Buttons::AbortIgnore,
       {"&Abort", "&Ignore"},
       Act::Click,
       "&Ignore",
       Answer::Ignore},
      {"abort/ignore closed",
       Buttons::AbortIgnore,
       {"&Abort", "&Ignore"},
       Act::CloseFrame,
       "",
       Answer::Closed},
      {"abort/ignore has no escape button",
       Buttons::AbortIgnore,
       {"&Abort", "&Ignore"},
       Act::EscapeThenClose,
       "",
       Answer::Closed},
      {"yes", Buttons::YesCancel, {"&Yes", "Cancel"}, Act::Click, "&Yes", Answer::Yes},
      {"escape is cancel", Buttons::YesCancel, {"&Yes", "Cancel"}, Act::Escape, "", Answer::Cancel},
      {"enter is cancel", Buttons::YesCancel, {"&Yes", "Cancel"}, Act::Enter, "", Answer::Cancel},
      {"enter is yes", Buttons::YesNo, {"&Yes", "&No"}, Act::Enter, "", Answer::Yes},
      {"yes/cancel closed",
       Buttons::YesCancel,
       {"&Yes", "Cancel"},
       Act::CloseFrame,
       "",
       Answer::Closed},
      {"no", Buttons::YesNo, {"&Yes", "&No"}, Act::Click, "&No", Answer::No},
      {"escape is no", Buttons::YesNo, {"&Yes", "&No"}, Act::Escape, "", Answer::No},
      {"ok", Buttons::Ok, {"OK"}, Act::Escape, "", Answer::Ok},
  };
  QWidget window;
  window.show();
  QtUi ui(&window);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QStringList seen;
    QString text;
    whenBoxIsUp<QMessageBox>([&](QMessageBox* box) {
      seen = captions(box);
      text = box->text();
      EXPECT_GT(box->width(), box->fontMetrics().horizontalAdvance(box->windowTitle()) + 150)
          << "room for the whole title";
      switch (c.act) {
        case Act::Click:
          buttonCalled(box, QString::fromLatin1(c.click))->click();
          break;
        case Act::Escape:
          QTest::keyClick(box, Qt::Key_Escape);
          break;
        case Act::Enter:
          QTest::keyClick(box, Qt::Key_Return);
          break;
        case Act::CloseFrame:
          box->close();
          break;
        case Act::EscapeThenClose:
          QTest::keyClick(box, Qt::Key_Escape);
          EXPECT_TRUE(box->isVisible());
          box->close();
          break;
      }
    });
    Answer a = ui.messageDialog(DialogKind::Warning, "Found \xA1 invalid", c.buttons);
    EXPECT_EQ(a, c.expected);
    EXPECT_EQ(seen, c.expectedCaptions);
    EXPECT_EQ(text, QString::fromUtf16(u"Found \u0E01 invalid"));
  }
}

TEST(QtUi, FilterTextsBecomeQtFilters) {
  EXPECT_EQ(qtFilter(dlg1.filter), "Text File (.txt) (*.txt);;All File (*.*) (*.*)");
  EXPECT_EQ(qtFilter(sdlg.filter), "Text (*.txt) (*.txt)");
  EXPECT_EQ(qtFilter(dlgZip.filter), "Zip File (*.zip) (*.zip)");
  EXPECT_EQ(qtFilter("Both|*.a;*.b"), "Both (*.a *.b)");
}

TEST(QtUi, FileDialogsAreSetUpAsTheirSpecAndStartWhereTheirFieldPoints) {
  // A fresh folder: a chosen file that existed would bring up the overwrite question.
  QTemporaryDir folder;
  const QString tmp = QDir(folder.path()).canonicalPath();
  const QString chosen = tmp + QStringLiteral("/chosen.txt");
  struct Case {
    const FileDialogSpec* setup;
    QFileDialog::AcceptMode mode;
    QString suffix;
    bool confirmOverwrite;
    QString title, fieldPath, folder, accept;  // accept empty: the user cancels
  };
  // clang-format off
  const std::vector<Case> cases = {
      {&dlg1, QFileDialog::AcceptOpen, "", true, "Open payment file", tmp + "/in.txt", tmp, ""},
      {&sdlg, QFileDialog::AcceptSave, "txt", true, "New file name", "", QDir::homePath(), chosen},
      {&dlgZip, QFileDialog::AcceptSave, "zip", false, "Zip file name", "/no/such/dir/a.zip", tmp, ""},
  };
  // clang-format on
  QWidget window;
  QtUi ui(&window);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setup->name);
    bool checked = false;
    whenBoxIsUp<QFileDialog>([&](QFileDialog* d) {
      EXPECT_EQ(d->objectName(), c.setup->name);
      EXPECT_EQ(d->acceptMode(), c.mode);
      EXPECT_EQ(d->defaultSuffix(), c.suffix);
      EXPECT_EQ(!d->testOption(QFileDialog::DontConfirmOverwrite), c.confirmOverwrite);
      EXPECT_EQ(d->windowTitle(), c.title);
      EXPECT_EQ(d->directory().canonicalPath(), c.folder);
      EXPECT_EQ(d->viewMode(), QFileDialog::Detail);
      EXPECT_GE(d->width(), 800) << "name, size and date columns";
      checked = true;
      if (c.accept.isEmpty()) {
        d->reject();
      } else {
        // Typed into the name box: selectFile() leaves the box alone once it has the focus.
        auto* name = d->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(c.accept);
        static_cast<QDialog*>(d)->accept();  // as the dialog's own button does
      }
    });
    ui.setFileDialogPlace(c.title, c.fieldPath);
    const auto result = ui.fileDialog(*c.setup);
    EXPECT_EQ(result, c.accept.isEmpty() ? std::nullopt : std::optional(c.accept.toStdString()));
    EXPECT_TRUE(checked);
  }
}

TEST(QtUi, LongWorkShowsProgressUntilTheCommandEnds) {
  QWidget window;
  window.show();
  QtUi ui(&window);
  auto visibleProgress = [&] {
    for (auto* p : window.findChildren<QProgressDialog*>())
      if (p->isVisible()) return p;
    return static_cast<QProgressDialog*>(nullptr);
  };
  ui.progress("Checking records", 0, 100);
  EXPECT_EQ(visibleProgress(), nullptr) << "short work shows no dialog";
  QThread::msleep(350);
  ui.progress("Checking records", 40, 100);
  QProgressDialog* shown = visibleProgress();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->value(), 400);
  EXPECT_EQ(shown->labelText(), "Checking records");
  ui.commandEnded();
  EXPECT_EQ(visibleProgress(), nullptr);
}

}  // namespace
}  // namespace bs::app
