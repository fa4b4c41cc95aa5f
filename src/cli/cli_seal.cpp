// batchseal-cli seal: the batch run on a payment file, then on request the error list saved or
// the payment reports written as a PDF.

#include <cstdio>

#include "cli/cli_reports.h"
#include "cli/cli_run.h"

namespace bs::cli {

int sealCommand(const Options& o, const ProgramPaths& paths) {
  CliRun run(o, paths);
  if (o.reportPdf) prepareForReports();
  if (Outcome started = run.start(); !started) return run.finish(started);
  Session& session = run.session;
  Form& form = session.form;
  form.edtFileInput.text = o.positional[0];
  if (o.newFile) {
    checkNew(session);
    form.edtNewFile.text = *o.newFile;
  }
  form.edtZip.text = *o.zip;

  Outcome outcome = runCommand(session, ToolButton3Click);
  if (!outcome) return run.finish(outcome);
  if (!outcome.isCompleted() && o.errorsOut) {
    if (form.btnSaveError.enabled) {
      run.ui.saveFileAnswer = *o.errorsOut;
      if (Outcome saved = runCommand(session, btnSaveErrorClick); !saved) outcome = saved;
    } else {
      std::fprintf(stderr,
                   "batchseal-cli: the Save button is disabled after this run; "
                   "no error list was written to %s\n",
                   o.errorsOut->c_str());
    }
  }
  if (outcome.isCompleted() && o.reportPdf) {
    run.ui.onReport = [&](const ReportDocument& doc) { writeReportPdf(doc, *o.reportPdf); };
    Outcome printed = runCommand(session, ToolButton4Click);
    if (!printed)
      outcome = printed;
    else if (!printed.isCompleted())
      std::fprintf(stderr, "batchseal-cli: no report was prepared; %s was not written\n",
                   o.reportPdf->c_str());
  }
  return run.finish(outcome);
}

}  // namespace bs::cli
