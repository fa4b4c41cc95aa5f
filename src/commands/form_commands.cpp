// The window's commands other than the batch run: start, the transaction around every command,
// Exit, Report, the fee report, Clear Form, the file boxes and the output mode.

#include <filesystem>
#include <system_error>

#include "commands/batch_gates.h"
#include "commands/commands.h"
#include "core/error_export.h"
#include "core/error_list.h"
#include "core/failure.h"
#include "reports/engine/report_commands.h"
#include "reports/report_tables.h"
#include "reports/settings.h"
#include "store/store_session.h"
#include "store/table_store.h"

namespace bs {

namespace {

// The message of the exception being handled, byte for byte.
std::string currentFailureMessage() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "Out of memory";
  } catch (const Failure& e) {
    return e.message();
  } catch (const std::exception& e) {
    return e.what();
  }
}

// Shows the exception being handled in an error box, as the window's default handler does.
Outcome showCurrentFailure(Session& session) {
  Outcome failed{Outcome::Kind::Failed, currentFailureMessage()};
  session.ui.formChanged();
  session.ui.messageDialog(DialogKind::Error, failed.message, Buttons::Ok);
  return failed;
}

template <typename Handler>
Outcome runInTransaction(Session& session, Handler handler) {
  Outcome outcome;
  try {
    if (session.store) session.store->beginCommand();
    outcome = handler();
  } catch (const CommandStopped&) {
    // The command told the user why it ended; nothing more is shown.
    outcome = Outcome{Outcome::Kind::Failed, {}};
  } catch (...) {
    outcome = showCurrentFailure(session);
  }
  // The per-command transaction is committed also after a failure, so that what the rules say
  // stays in the tables does stay.
  try {
    if (session.store) session.store->endCommand();
  } catch (...) {
    if (outcome) outcome = showCurrentFailure(session);
    outcome.kind = Outcome::Kind::Failed;
  }
  session.ui.formChanged();
  return outcome;
}

}  // namespace

Outcome runCommand(Session& session, Outcome (*handler)(Session&)) {
  return runInTransaction(session, [&] { return handler(session); });
}

Outcome runCommand(Session& session, void (*handler)(Session&)) {
  return runInTransaction(session, [&] {
    handler(session);
    return Outcome::completed();
  });
}

void FormCreate(Session& session) {
  connectStore(session);
  session.state.reportReady = false;
  session.state.invalidAccountCount = 0;
  loadBeneChargeSetting(session);
}

void ToolButton1Click(Session& session) {
  if (session.ui.messageDialog(DialogKind::Information, "Do you want to exit program?",
                               Buttons::YesNo) == Answer::Yes)
    session.ui.exitProgram();
}

Outcome ToolButton4Click(Session& session) {
  // Before a successful batch there is nothing to print, and nothing is said.
  if (!session.state.reportReady) return Outcome::stopped();
  auto tables = storeReportTables(session.store);
  return printPaymentReports(session, *tables) ? Outcome::completed() : Outcome::stopped();
}

Outcome MCLFeeClick(Session& session) {
  // The tariff is read afresh on every press.
  const RangeFees fees = loadRangeFees(session.paths);
  // Field errors stay listed but do not stop the estimate; only refused home-bank accounts do.
  if (!passGates(session, kFeeReportGates)) return Outcome::stopped();
  return showTierRateFeeReport(session, {fees.rangeFee1, fees.rangeFee2, fees.rangeFee3})
             ? Outcome::completed()
             : Outcome::stopped();
}

void btnSaveErrorClick(Session& session) {
  exportErrorList(session);
}

void ToolButton5Click(Session& session) {
  Form& f = session.form;
  clearErrorList(f);
  checkReplace(session);
  f.Label3.enabled = false;
  f.edtNewFile.enabled = false;
  f.btnOpenNew.enabled = false;
  f.btnClearNew.enabled = false;
  f.edtZip.text.clear();
  f.edtNewFile.text.clear();
  session.state.reportReady = false;
  f.edtFileInput.text.clear();
  std::error_code ignored;
  std::filesystem::remove(session.paths.programFolder / "Temp1", ignored);
  f.edtHashvalue.text.clear();
  f.Label4.caption.clear();
  f.Label5.caption.clear();
  f.btnSaveError.enabled = false;
  session.state.invalidAccountCount = 0;
}

namespace {
void openInto(Session& session, const FileDialogSpec& setup, TextBox& box) {
  auto chosen = session.ui.fileDialog(setup);
  box.text = chosen ? *chosen : std::string();
}
}  // namespace

void btnOpenFileClick(Session& session) {
  openInto(session, dlg1, session.form.edtFileInput);
}
void btnOpenNewClick(Session& session) {
  openInto(session, sdlg, session.form.edtNewFile);
}
void btnOpenZipClick(Session& session) {
  openInto(session, dlgZip, session.form.edtZip);
}
void btnClearFileClick(Session& session) {
  session.form.edtFileInput.text.clear();
}
void btnClearNewClick(Session& session) {
  session.form.edtNewFile.text.clear();
}
void btnClearZipClick(Session& session) {
  session.form.edtZip.text.clear();
}

void rdoNewClick(Session& session) {
  Form& f = session.form;
  if (!f.rdoNew.checked) return;
  f.Label3.enabled = true;
  f.edtNewFile.enabled = true;
  f.btnOpenNew.enabled = true;
  f.btnClearNew.enabled = true;
}

void rdoReplaceClick(Session& session) {
  Form& f = session.form;
  if (!f.rdoReplace.checked) return;
  f.Label3.enabled = true;
  f.edtNewFile.enabled = false;
  f.btnOpenNew.enabled = false;
  f.btnClearNew.enabled = false;
  f.edtNewFile.text.clear();
}

void checkReplace(Session& session) {
  if (session.form.rdoReplace.checked) return;
  session.form.rdoReplace.checked = true;
  session.form.rdoNew.checked = false;
  rdoReplaceClick(session);
}

void checkNew(Session& session) {
  if (session.form.rdoNew.checked) return;
  session.form.rdoNew.checked = true;
  session.form.rdoReplace.checked = false;
  rdoNewClick(session);
}

}  // namespace bs
