#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_ui.h"

namespace bs::cli {

// Exit codes.
inline constexpr int kCompleted = 0;
inline constexpr int kStopped = 1;
inline constexpr int kUsage = 2;
inline constexpr int kFailed = 3;

extern const char* const kUsageText;

struct Options {
  std::string command;
  std::vector<std::string> positional;
  std::optional<std::string> home, zip, newFile, errorsOut, reportPdf, pdf;
  InvalidAccounts invalidAccounts = InvalidAccounts::Abort;
  bool json = false;
  bool explain = false;  // check: the faulty field under each error row
  long line = 0;         // show: the line number
};

struct UsageError {
  std::string message;
};

// The command line, checked for the options each command takes.  Throws UsageError.
Options parse(int argc, char** argv);

}  // namespace bs::cli
