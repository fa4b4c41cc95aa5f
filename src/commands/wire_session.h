#pragma once

#include "core/session.h"

namespace bs {

// Gives a Session every record rule and command step this build has: the table store, the
// record rules, the output steps and the reports.  The window and batchseal-cli both call it,
// so both run exactly the same code.
void wireSession(Session& session);

}  // namespace bs
