// batchseal-cli fee: the tier-rate fee report of a payment file, its variables printed and, on
// request, written as a PDF.

#include "cli/cli_reports.h"
#include "cli/cli_run.h"

namespace bs::cli {

int feeCommand(const Options& o, const ProgramPaths& paths) {
  CliRun run(o, paths);
  prepareForReports();
  if (Outcome started = run.start(); !started) return run.finish(started);
  run.session.form.edtFileInput.text = o.positional[0];
  run.ui.onReport = [&](const ReportDocument& doc) {
    run.variables = reportVariables(doc);
    run.haveVariables = true;
    if (o.pdf) writeReportPdf(doc, *o.pdf);
  };
  return run.finish(runCommand(run.session, MCLFeeClick));
}

}  // namespace bs::cli
