#include "cli/cli_ui.h"

#include "core/cp874.h"
#include "core/platform_file.h"

namespace bs::cli {

const char* answerName(Answer a) {
  switch (a) {
    case Answer::Ok:
      return "OK";
    case Answer::Yes:
      return "Yes";
    case Answer::No:
      return "No";
    case Answer::Cancel:
      return "Cancel";
    case Answer::Abort:
      return "Abort";
    case Answer::Ignore:
      return "Ignore";
    case Answer::Closed:
      return "Close";
    case Answer::None:
      return "";
  }
  return "";
}

void CliUi::record(const char* kind, std::string_view text, Answer answer) {
  endProgress();
  shown.push_back({kind, std::string(text), answer});
  if (printAsShown) {
    // Written whole: a message may quote a field that holds a NUL byte.
    std::string line = std::string("[") + kind + "] " + cp874ToUtf8(text);
    if (answer != Answer::Ok) line += std::string(" -> ") + answerName(answer);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
  }
}

void CliUi::messageBox(std::string_view text) {
  record("information", text, Answer::Ok);
}

Answer CliUi::messageDialog(DialogKind kind, std::string_view text, Buttons buttons) {
  const char* name = "information";
  switch (kind) {
    case DialogKind::Information:
      name = "information";
      break;
    case DialogKind::Confirmation:
      name = "confirm";
      break;
    case DialogKind::Warning:
      name = "warning";
      break;
    case DialogKind::Error:
      name = "error";
      break;
  }
  Answer a = Answer::Ok;
  switch (buttons) {
    case Buttons::Ok:
      a = Answer::Ok;
      break;
    // A script never asks to leave the program.
    case Buttons::YesNo:
      a = Answer::No;
      break;
    // The confirmation after Ignore: Yes when --invalid-accounts ignore was given.
    case Buttons::YesCancel:
      a = invalidAccounts == InvalidAccounts::Ignore ? Answer::Yes : Answer::Cancel;
      break;
    case Buttons::AbortIgnore:
      a = invalidAccounts == InvalidAccounts::Ignore  ? Answer::Ignore
          : invalidAccounts == InvalidAccounts::Close ? Answer::Closed
                                                      : Answer::Abort;
      break;
  }
  record(name, text, a);
  return a;
}

std::optional<std::string> CliUi::fileDialog(const FileDialogSpec& setup) {
  if (setup.save && saveFileAnswer) return saveFileAnswer;
  return std::nullopt;
}

void CliUi::showReport(const ReportDocument& document) {
  endProgress();
  ++reportsShown;
  if (onReport) onReport(document);
}

void CliUi::progress(std::string_view stage, std::uint64_t done, std::uint64_t total) {
  static const bool terminal = stderrIsTerminal();
  if (!terminal || total == 0) return;
  int percent = static_cast<int>(done * 100 / total);
  if (percent == lastPercent_ && stage == lastStage_) return;
  lastPercent_ = percent;
  lastStage_ = stage;
  std::fprintf(stderr, "\r%.*s %3d%%", static_cast<int>(stage.size()), stage.data(), percent);
  std::fflush(stderr);
  progressShown_ = true;
}

void CliUi::endProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  progressShown_ = false;
  lastPercent_ = -1;
}

}  // namespace bs::cli
