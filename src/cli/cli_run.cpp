#include "cli/cli_run.h"

#include "commands/session_setup.h"

namespace bs::cli {

CliRun::CliRun(const Options& o, const ProgramPaths& paths)
    : options(o), session(ui, paths, Clock::system()) {
  ui.printAsShown = !o.json;
  ui.invalidAccounts = o.invalidAccounts;
  setUpSession(session);
}

Outcome CliRun::start() {
  return runCommand(session, FormCreate);
}

int CliRun::finish(const Outcome& outcome, const RowNote& note) {
  ui.endProgress();
  const Variables* vars = haveVariables ? &variables : nullptr;
  if (options.json)
    printJson(session, ui, outcomeName(outcome), vars);
  else
    printPlain(session, vars, note);
  return exitCode(outcome);
}

int exitCode(const Outcome& outcome) {
  switch (outcome.kind) {
    case Outcome::Kind::Completed:
      return kCompleted;
    case Outcome::Kind::Stopped:
      return kStopped;
    case Outcome::Kind::Failed:
      break;
  }
  return kFailed;
}

const char* outcomeName(const Outcome& outcome) {
  switch (outcome.kind) {
    case Outcome::Kind::Completed:
      return "completed";
    case Outcome::Kind::Stopped:
      return "stopped";
    case Outcome::Kind::Failed:
      break;
  }
  return "failed";
}

}  // namespace bs::cli
