#pragma once

#include "core/session.h"

namespace bs {

// Gives the session its SQLite table store and the current-credit row kept in it.
void installTableStore(Session& session);

// Program start: the store's connection closed and pointed at Data/.
void connectStore(Session& session);

}  // namespace bs
