// batchseal-cli check: the structure pre-checks and the validation of a payment file; nothing
// is written.  Completed when the file has no fault.  With --explain, each error row is
// followed by its record's faulty field.

#include "cli/cli_run.h"

namespace bs::cli {

int checkCommand(const Options& o, const ProgramPaths& paths) {
  CliRun run(o, paths);
  if (Outcome started = run.start(); !started) return run.finish(started);
  run.session.form.edtFileInput.text = o.positional[0];
  const Outcome outcome = runCommand(run.session, checkBatch);
  return run.finish(outcome, o.explain ? explainNotes(run.session) : RowNote());
}

}  // namespace bs::cli
