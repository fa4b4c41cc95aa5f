#pragma once

#include "cli/cli_options.h"
#include "cli/cli_print.h"
#include "cli/cli_ui.h"
#include "commands/commands.h"
#include "core/session.h"

namespace bs::cli {

// One command of the window run headless: the session, its Ui answering from the flags, and the
// window's state printed when the command ends.
class CliRun {
 public:
  CliRun(const Options& options, const ProgramPaths& paths);

  // Program start, as the window's creation.
  Outcome start();
  // Prints the window's state and returns the exit code of `outcome`.
  int finish(const Outcome& outcome, const RowNote& note = {});

  const Options& options;
  CliUi ui;
  Session session;
  // The variables of the report shown, for the fee command.
  Variables variables;
  bool haveVariables = false;
};

// The exit code and the JSON name of an outcome.
int exitCode(const Outcome& outcome);
const char* outcomeName(const Outcome& outcome);

int sealCommand(const Options& options, const ProgramPaths& paths);
int checkCommand(const Options& options, const ProgramPaths& paths);
int feeCommand(const Options& options, const ProgramPaths& paths);
// Prints one record of a payment file cut into its fields.
int showCommand(const Options& options);
// The note --explain prints under each error row of the session's grid: the faulty field, its
// value and the marked columns under a ruler.
RowNote explainNotes(const Session& session);
// Checks the seal of an output file or of the one entry of an archive.
int verifyCommand(const std::string& path, bool json);

}  // namespace bs::cli
