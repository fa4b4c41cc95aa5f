// The batch run: the gates, then for a clean batch the summary, the report rows, the sealed
// output and the archive, and the completion message.  This file owns the order of the steps.

#include <memory>

#include "commands/batch_gates.h"
#include "commands/commands.h"
#include "core/error_list.h"
#include "output/hashed_output.h"
#include "reports/payment_summary.h"
#include "store/table_store.h"

namespace bs {

Outcome ToolButton3Click(Session& session) {
  Form& f = session.form;
  session.state.reportReady = false;
  f.edtHashvalue.text.clear();
  f.Label5.caption.clear();
  f.Label4.caption.clear();
  clearErrorList(f);
  return runBatch(session);
}

Outcome runBatch(Session& session) {
  SealPreparation prepared;
  if (!passGates(session, kBatchRunGates, &prepared)) return Outcome::stopped();

  fillPaymentSummary(session, prepared.summary.get());
  prepared.summary.reset();
  fillReportTable(session);

  // Everything is made ready before anything is replaced: the sealed output and its archive on
  // the disk beside their targets, then the report tables committed.  Only then do the archive
  // and, last, the output take their places, so that a failure at any step leaves the payment
  // file as the fill left it, ready for another run, and never sealed without its archive.
  SealedOutput sealed = prepareSealedOutput(session, std::move(prepared.output));
  if (session.store && session.store->inCommand()) session.store->commitCommand();
  sealed.commit(session);

  // The archive name as typed, also when the archive step appended ".zip" to it.
  session.ui.formChanged();
  session.ui.messageBox("Generate hash value and add file to " + session.form.edtZip.text +
                        " completed");
  return Outcome::completed();
}

Outcome checkBatch(Session& session) {
  if (!passGates(session, kCheckGates)) return Outcome::stopped();
  const BatchState& st = session.state;
  return st.batchValid && st.invalidAccountCount == 0 ? Outcome::completed() : Outcome::stopped();
}

}  // namespace bs
