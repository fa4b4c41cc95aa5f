#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ui.h"

namespace bs::cli {

// How the Abort/Ignore prompt about invalid home-bank accounts is answered.
enum class InvalidAccounts { Abort, Ignore, Close };

// The command line's Ui: dialogs are answered from flags, every box shown is recorded in order
// and, unless the output is JSON, printed as it appears.
class CliUi : public Ui {
 public:
  struct Shown {
    std::string kind;  // information, warning, error, confirm
    std::string text;  // bytes as the command showed them
    Answer answer;
  };

  InvalidAccounts invalidAccounts = InvalidAccounts::Abort;
  std::optional<std::string> saveFileAnswer;  // the file chosen in a save dialog, if any
  bool printAsShown = true;
  std::function<void(const ReportDocument&)> onReport;

  std::vector<Shown> shown;
  int reportsShown = 0;

  void messageBox(std::string_view text) override;
  Answer messageDialog(DialogKind kind, std::string_view text, Buttons buttons) override;
  std::optional<std::string> fileDialog(const FileDialogSpec& setup) override;
  void showReport(const ReportDocument& document) override;
  void progress(std::string_view stage, std::uint64_t done, std::uint64_t total) override;
  void exitProgram() override {}

  // Ends a progress line on the terminal, if one is showing.
  void endProgress();

 private:
  void record(const char* kind, std::string_view text, Answer answer);
  bool progressShown_ = false;
  int lastPercent_ = -1;
  std::string lastStage_;
};

const char* answerName(Answer a);

}  // namespace bs::cli
