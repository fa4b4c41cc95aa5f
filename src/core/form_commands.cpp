#include <filesystem>
#include <system_error>

#include "core/commands.h"
#include "core/error_list.h"
#include "core/failure.h"

namespace bs {

namespace {

// Shows the exception being handled in an error box, as the window's default handler does.
void showCurrentFailure(Session& session) {
  std::string message;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    message = "Out of memory";
  } catch (const std::exception& e) {
    message = e.what();
  }
  session.ui.formChanged();
  session.ui.messageDialog(DialogKind::Error, message, Buttons::Ok);
}

}  // namespace

bool runCommand(Session& session, void (*handler)(Session&)) {
  bool ok = true;
  try {
    if (session.steps.commandStarted) session.steps.commandStarted(session);
    handler(session);
  } catch (const CommandStopped&) {
    ok = false;
  } catch (...) {
    showCurrentFailure(session);
    ok = false;
  }
  // The per-command transaction is committed also after a failure, so that what the rules say
  // stays in the tables does stay.
  try {
    if (session.steps.commandEnded) session.steps.commandEnded(session);
  } catch (...) {
    if (ok) showCurrentFailure(session);
    ok = false;
  }
  session.ui.formChanged();
  return ok;
}

void stepNotBuilt(const char* what) {
  throw Failure(std::string("This build of Batchseal cannot ") + what + " yet.");
}

void FormCreate(Session& session) {
  if (session.steps.connectStore) session.steps.connectStore(session);
  session.state.reportReady = false;
  session.state.invalidAccountCount = 0;
  if (session.steps.loadBeneChargeSetting) session.steps.loadBeneChargeSetting(session);
}

void ToolButton1Click(Session& session) {
  if (session.ui.messageDialog(DialogKind::Information, "Do you want to exit program?",
                               Buttons::YesNo) == Answer::Yes)
    session.ui.exitProgram();
}

void ToolButton4Click(Session& session) {
  if (!session.steps.printPaymentReports) stepNotBuilt("print payment reports");
  session.steps.printPaymentReports(session);
}

void MCLFeeClick(Session& session) {
  if (!session.steps.tierRateFeeReport) stepNotBuilt("calculate the tier rate report");
  session.steps.tierRateFeeReport(session);
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
void openInto(Session& session, const FileDialogSpec& spec, TextBox& box) {
  auto chosen = session.ui.fileDialog(spec);
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
