#pragma once

#include <string>

#include "core/session.h"

namespace bs {

// How a command ended.  Completed: it did what it is for (the batch sealed, the report shown).
// Stopped: it ended early on the data or on the user's answer, having told the user why.
// Failed: a failure ended it; its message was shown in an error box.
struct Outcome {
  enum class Kind { Completed, Stopped, Failed };
  Kind kind = Kind::Completed;
  std::string message;  // the failure's message, byte for byte, when Failed

  static Outcome completed() { return {Kind::Completed, {}}; }
  static Outcome stopped() { return {Kind::Stopped, {}}; }
  bool isCompleted() const { return kind == Kind::Completed; }
  // Whether the command ended without a failure.
  explicit operator bool() const { return kind != Kind::Failed; }
};

// Runs one command handler as the window does: the store's per-command transaction around it,
// and a Failure (or any other exception) shown with its message in an error box.  A handler
// without an outcome of its own completes unless it fails.
Outcome runCommand(Session& session, Outcome (*handler)(Session&));
Outcome runCommand(Session& session, void (*handler)(Session&));

// A handler without an outcome of its own, as one that completes unless it fails.
template <void (*Handler)(Session&)>
Outcome completing(Session& session) {
  Handler(session);
  return Outcome::completed();
}

// Program start: the store pointed at Data/, reportReady false, invalidAccountCount 0, the
// beneficiary-charge setting read.
void FormCreate(Session& session);

// The window's handlers.
void ToolButton1Click(Session& session);     // "Exit "
Outcome ToolButton3Click(Session& session);  // the batch run
Outcome ToolButton4Click(Session& session);  // "Report"
void ToolButton5Click(Session& session);     // "Clear Form"
Outcome MCLFeeClick(Session& session);       // "Calculate Tier Rate Report"
void btnSaveErrorClick(Session& session);    // export of the error list
void btnOpenFileClick(Session& session);
void btnOpenNewClick(Session& session);
void btnOpenZipClick(Session& session);
void btnClearFileClick(Session& session);
void btnClearNewClick(Session& session);
void btnClearZipClick(Session& session);
void rdoNewClick(Session& session);
void rdoReplaceClick(Session& session);
// Checking a radio button that was not checked unchecks its sibling and runs its click handler.
void checkReplace(Session& session);
void checkNew(Session& session);

// batchseal-cli check: the structure pre-checks and the validation of the input file, nothing
// written.  Completed when the file has no fault at all.
Outcome checkBatch(Session& session);

// The batch run and the invalid-account decision it shares with the fee report.
Outcome runBatch(Session& session);
bool resolveInvalidAccounts(Session& session);
void confirmIgnoreInvalidAccounts(Session& session);

}  // namespace bs
