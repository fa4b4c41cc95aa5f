#include "app/qt_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QStringList>
#include <memory>

#include "app/thai_text.h"

#if __has_include("app/report_preview.h")
#include "app/report_preview.h"
#define BATCHSEAL_HAS_REPORT_PREVIEW 1
#endif

namespace bs::app {

namespace {

const QString kAppTitle = QStringLiteral("Batchseal");
// Room in a title bar for the window menu and the close, minimise and maximise buttons.
constexpr int kFrameButtonsWidth = 160;
constexpr int kFileDialogWidth = 920;
constexpr int kFileDialogHeight = 560;

// Qt's message box treats a close through the frame as its escape button, and refuses the close
// when there is none (Abort and Ignore); the close is caught here and answered as such.
class CloseCatcher : public QObject {
 public:
  explicit CloseCatcher(QMessageBox* box) : QObject(box), box_(box) {}
  bool closed = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == box_ && event->type() == QEvent::Close && box_->isVisible()) {
      closed = true;
      event->accept();
      box_->done(QDialog::Rejected);
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QMessageBox* box_;
};

QString titleOf(DialogKind kind) {
  switch (kind) {
    case DialogKind::Information:
      return QStringLiteral("Information");
    case DialogKind::Confirmation:
      return QStringLiteral("Confirm");
    case DialogKind::Warning:
      return QStringLiteral("Warning");
    case DialogKind::Error:
      return QStringLiteral("Error");
  }
  return kAppTitle;
}

QMessageBox::Icon iconOf(DialogKind kind) {
  switch (kind) {
    case DialogKind::Information:
      return QMessageBox::Information;
    case DialogKind::Confirmation:
      return QMessageBox::Question;
    case DialogKind::Warning:
      return QMessageBox::Warning;
    case DialogKind::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

struct ButtonSpec {
  const char* caption;
  Answer answer;
};

std::vector<ButtonSpec> buttonsOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return {{"OK", Answer::Ok}};
    case Buttons::YesNo:
      return {{"&Yes", Answer::Yes}, {"&No", Answer::No}};
    case Buttons::YesCancel:
      return {{"&Yes", Answer::Yes}, {"Cancel", Answer::Cancel}};
    case Buttons::AbortIgnore:
      return {{"&Abort", Answer::Abort}, {"&Ignore", Answer::Ignore}};
  }
  return {{"OK", Answer::Ok}};
}

// Escape presses Cancel, else No, else OK; a box with Abort and Ignore has no such button.
Answer escapeAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::YesNo:
      return Answer::No;
    case Buttons::YesCancel:
      return Answer::Cancel;
    case Buttons::AbortIgnore:
      return Answer::None;
  }
  return Answer::None;
}

Answer runBox(QWidget* parent, const QString& title, QMessageBox::Icon icon, const QString& text,
              Buttons buttons) {
  QMessageBox box(parent);
  box.setWindowTitle(title);
  box.setIcon(icon);
  box.setText(text);
  box.setTextFormat(Qt::PlainText);
  std::vector<std::pair<QAbstractButton*, Answer>> made;
  Answer onEscape = escapeAnswer(buttons);
  // Enter presses the first button, except where Yes would go on with a file that failed a
  // check: there Enter cancels.
  const Answer onEnter =
      buttons == Buttons::YesCancel ? Answer::Cancel : buttonsOf(buttons)[0].answer;
  for (const ButtonSpec& b : buttonsOf(buttons)) {
    // ActionRole everywhere: which button Escape presses is set here, not guessed by Qt.
    QPushButton* button = box.addButton(QString::fromLatin1(b.caption), QMessageBox::ActionRole);
    if (b.answer == onEnter) box.setDefaultButton(button);
    if (b.answer == onEscape) box.setEscapeButton(button);
    made.emplace_back(button, b.answer);
  }
  // The box is at least as wide as its title, which the frame would otherwise cut.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const int titleWidth =
        QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(title) +
        kFrameButtonsWidth;
    grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  auto* catcher = new CloseCatcher(&box);
  box.installEventFilter(catcher);
  box.exec();
  if (catcher->closed) return Answer::Closed;
  for (const auto& [button, answer] : made)
    if (box.clickedButton() == button) return answer;
  return Answer::Closed;
}

}  // namespace

QString qtFilter(const char* filter) {
  QStringList parts = QString::fromLatin1(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return out.join(QStringLiteral(";;"));
}

QtUi::QtUi(QWidget* window) : window_(window) {}

QtUi::~QtUi() {
  delete progress_.data();
}

void QtUi::messageBox(std::string_view text) {
  commandEnded();
  formChanged();
  runBox(window_, kAppTitle, QMessageBox::NoIcon, fromThai(text), Buttons::Ok);
}

Answer QtUi::messageDialog(DialogKind kind, std::string_view text, Buttons buttons) {
  commandEnded();
  formChanged();
  return runBox(window_, titleOf(kind), iconOf(kind), fromThai(text), buttons);
}

void QtUi::setFileDialogPlace(const QString& title, const QString& currentPath) {
  dialogTitle_ = title;
  dialogPath_ = currentPath;
}

QString QtUi::startFolder() const {
  if (!dialogPath_.isEmpty()) {
    const QFileInfo current(dialogPath_);
    if (current.absoluteDir().exists()) return current.absolutePath();
  }
  if (!lastFolder_.isEmpty() && QDir(lastFolder_).exists()) return lastFolder_;
  return QDir::homePath();
}

std::optional<std::string> QtUi::fileDialog(const FileDialogSpec& setup) {
  commandEnded();
  QFileDialog dialog(window_, dialogTitle_.isEmpty() ? kAppTitle : dialogTitle_);
  // The details view with room for the name, size and date columns, in the folder of the path
  // the field holds, else where the user last chose a file.
  dialog.setViewMode(QFileDialog::Detail);
  QSize size(kFileDialogWidth, kFileDialogHeight);
  if (window_ && window_->screen())
    size = size.boundedTo(window_->screen()->availableGeometry().size());
  dialog.resize(size);
  dialog.setDirectory(startFolder());
  dialog.setObjectName(QString::fromLatin1(setup.name));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilter(qtFilter(setup.filter));
  dialog.setAcceptMode(setup.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(setup.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (setup.save && !setup.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // The stored default extensions read "*.txt"; a name typed without one gets ".txt".
  QString ext = QString::fromLatin1(setup.defaultExt);
  if (ext.startsWith(QStringLiteral("*."))) ext = ext.mid(2);
  if (!ext.isEmpty()) dialog.setDefaultSuffix(ext);
  dialog.setSizeGripEnabled(setup.resizable);
  if (!dialogPath_.isEmpty() && dialog.directory() == QFileInfo(dialogPath_).absoluteDir())
    dialog.selectFile(QFileInfo(dialogPath_).fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().front();
  lastFolder_ = QFileInfo(chosen).absolutePath();
  return toPath(chosen);
}

void QtUi::showReport(const ReportDocument& document) {
  commandEnded();
#ifdef BATCHSEAL_HAS_REPORT_PREVIEW
  showReportPreview(window_, document);
#else
  (void)document;
  runBox(window_, titleOf(DialogKind::Information), QMessageBox::Information,
         QStringLiteral("The report preview is not part of this build."), Buttons::Ok);
#endif
}

void QtUi::progress(std::string_view stage, std::uint64_t done, std::uint64_t total) {
  QString name = QString::fromLatin1(stage.data(), static_cast<qsizetype>(stage.size()));
  if (!formShown_) {
    // The window shows what the command has cleared before the long work goes on.
    formShown_ = true;
    formChanged();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  if (!sinceStart_.isValid() || name != stage_) {
    stage_ = name;
    sinceStart_.start();
    sinceRefresh_.start();
  }
  // Cheap when called often: the window is refreshed at most about 20 times a second, and the
  // dialog appears only for work that takes longer than a moment.
  if (sinceRefresh_.elapsed() < 50 && done < total) return;
  sinceRefresh_.restart();
  if (!progress_ && sinceStart_.elapsed() >= 300 && done < total) {
    progress_ = new QProgressDialog(window_);
    progress_->setWindowTitle(kAppTitle);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setCancelButton(nullptr);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumWidth(360);
  }
  if (progress_) {
    constexpr std::uint64_t kSteps = 1000;
    progress_->setLabelText(name);
    progress_->setMaximum(static_cast<int>(kSteps));
    progress_->setValue(total == 0 ? 0 : static_cast<int>(std::min(done, total) * kSteps / total));
    if (!progress_->isVisible()) progress_->show();
  }
  // Repaints and keeps the window alive; the user's input waits until the command has ended.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::formChanged() {
  if (onFormChanged) onFormChanged();
}

void QtUi::commandEnded() {
  if (progress_) {
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
  }
  sinceStart_.invalidate();
  formShown_ = false;
}

void QtUi::exitProgram() {
  if (onExit)
    onExit();
  else
    QApplication::exit(0);
}

}  // namespace bs::app
