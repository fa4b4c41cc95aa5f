#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace bs::app::test {

// Answers the window's modal boxes and dialogs while a command runs, the way a user would, and
// records what came up.  A message box is answered with the next scripted button caption, or
// "close" for the frame's close button; with no script left it gets its default button.  Any
// other modal dialog is handed to `onDialog`, which must end it.
class ModalAnswerer {
 public:
  struct Seen {
    std::string title, text, answer;
    bool operator==(const Seen&) const = default;
  };
  std::deque<std::string> script;
  std::vector<Seen> seen;
  std::function<void(QDialog*)> onDialog;
  int dialogs = 0;

  ModalAnswerer() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
  }

  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& s : seen) out.push_back(s.text);
    return out;
  }

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == handled_) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      handled_ = box;
      std::string answer = script.empty() ? std::string() : script.front();
      if (!script.empty()) script.pop_front();
      seen.push_back({box->windowTitle().toStdString(), box->text().toStdString(), answer});
      if (answer == "close") {
        box->close();
      } else if (answer.empty()) {
        if (QAbstractButton* b = box->defaultButton()) b->click();
      } else {
        for (QAbstractButton* b : box->buttons())
          if (b->text().toStdString() == answer) b->click();
      }
      if (box->isVisible()) {
        seen.back().answer += " (no such button)";
        box->done(QDialog::Rejected);
      }
      handled_ = nullptr;
      return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      // Progress dialogs come and go by themselves.
      if (modal->inherits("QProgressDialog")) return;
      handled_ = dialog;
      ++dialogs;
      if (onDialog) onDialog(dialog);
      if (dialog->isVisible()) dialog->reject();
      handled_ = nullptr;
    }
  }

  QTimer timer_;
  QWidget* handled_ = nullptr;
};

}  // namespace bs::app::test
