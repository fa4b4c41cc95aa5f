#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/ui.h"

namespace bs {

// A Ui for tests and tools: answers come from queues, and everything shown is recorded in order.
class ScriptedUi : public Ui {
 public:
  struct Shown {
    std::string kind;  // "information", "warning", "error", "confirm", "file", "report"
    std::string text;  // the message, or the dialog's name
    Answer answer = Answer::None;
  };

  // Answers for message dialogs, in order.  When the queue is empty a dialog is answered with
  // its first button (OK, Yes or Abort).
  std::deque<Answer> answers;
  // Answers for file dialogs, in order; nullopt is Cancel.  Empty queue: Cancel.
  std::deque<std::optional<std::string>> files;

  std::vector<Shown> shown;
  int reportsShown = 0;
  bool exited = false;

  void messageBox(std::string_view text) override {
    shown.push_back({"information", std::string(text), Answer::Ok});
  }
  Answer messageDialog(DialogKind kind, std::string_view text, Buttons buttons) override {
    Answer a = defaultAnswer(buttons);
    if (!answers.empty()) {
      a = answers.front();
      answers.pop_front();
    }
    shown.push_back({kindName(kind), std::string(text), a});
    return a;
  }
  std::optional<std::string> fileDialog(const FileDialogSpec& setup) override {
    std::optional<std::string> f;
    if (!files.empty()) {
      f = files.front();
      files.pop_front();
    }
    shown.push_back({"file", setup.name, f ? Answer::Ok : Answer::Cancel});
    return f;
  }
  void showReport(const ReportDocument&) override {
    ++reportsShown;
    shown.push_back({"report", "", Answer::None});
  }
  void exitProgram() override { exited = true; }

  // The texts shown, in order (file dialogs and reports left out).
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& s : shown)
      if (s.kind != "file" && s.kind != "report") out.push_back(s.text);
    return out;
  }

  static const char* kindName(DialogKind kind) {
    switch (kind) {
      case DialogKind::Information:
        return "information";
      case DialogKind::Confirmation:
        return "confirm";
      case DialogKind::Warning:
        return "warning";
      case DialogKind::Error:
        return "error";
    }
    return "information";
  }
  static Answer defaultAnswer(Buttons buttons) {
    switch (buttons) {
      case Buttons::Ok:
        return Answer::Ok;
      case Buttons::YesNo:
      case Buttons::YesCancel:
        return Answer::Yes;
      case Buttons::AbortIgnore:
        return Answer::Abort;
    }
    return Answer::Ok;
  }
};

}  // namespace bs
