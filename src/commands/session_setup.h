#pragma once

#include "core/session.h"

namespace bs {

// Gives a Session its table store, its current-credit row kept in the store and its report
// objects.  The window and batchseal-cli both call it, so both run exactly the same code.
void setUpSession(Session& session);

}  // namespace bs
