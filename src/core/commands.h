#pragma once

#include <string>

#include "core/session.h"

namespace bs {

// Runs one command handler as the window does: the store's per-command transaction around it,
// and a Failure (or any other exception) shown with its message in an error box.  Returns false
// when the command ended in a failure.
bool runCommand(Session& session, void (*handler)(Session&));

// Program start: the store pointed at Data/, reportReady false, invalidAccountCount 0, the
// beneficiary-charge setting read.
void FormCreate(Session& session);

// The window's handlers.
void ToolButton1Click(Session& session);   // "Exit "
void ToolButton3Click(Session& session);   // the batch run
void ToolButton4Click(Session& session);   // "Report"
void ToolButton5Click(Session& session);   // "Clear Form"
void MCLFeeClick(Session& session);        // "Calculate Tier Rate Report"
void btnSaveErrorClick(Session& session);  // export of the error list
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

// The batch run and its parts.
void runBatch(Session& session);
bool resolveInvalidAccounts(Session& session);
void confirmIgnoreInvalidAccounts(Session& session);
void validateFile(Session& session, const std::string& path);
bool checkRecordTypes(Session& session, const std::string& path);
bool checkRecordLengths(Session& session, const std::string& path);
// Both structure pre-checks, and the credits under the express cheque products, in one read.
// When every line passes both, leaves the grid and the batch state exactly as checkRecordTypes
// followed by checkRecordLengths do and returns true; otherwise returns false having changed
// nothing, and the caller runs the two checks, which list the offending lines.
struct ExpressChequeCounts {
  long xmq = 0;
  long xdq = 0;
};
bool passStructureChecks(Session& session, const std::string& path, ExpressChequeCounts& express);
void exportErrorList(Session& session);

// The message of a step that this build does not have.
[[noreturn]] void stepNotBuilt(const char* what);

}  // namespace bs
