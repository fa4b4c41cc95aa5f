// batchseal-cli check: the structure pre-checks and the validation of a payment file; nothing
// is written.  Completed when the file has no fault.

#include "cli/cli_run.h"

namespace bs::cli {

int checkCommand(const Options& o, const ProgramPaths& paths) {
  CliRun run(o, paths);
  if (Outcome started = run.start(); !started) return run.finish(started);
  run.session.form.edtFileInput.text = o.positional[0];
  return run.finish(runCommand(run.session, checkBatch));
}

}  // namespace bs::cli
