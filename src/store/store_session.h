#pragma once

#include "core/session.h"

namespace bs {

// Gives the session its SQLite table store: the store itself, the current-credit row kept in
// it, and the steps that connect the store at start and hold one transaction per command.
void installTableStore(Session& session);

}  // namespace bs
