#pragma once

#include "core/session.h"

namespace bs {

// "Save": the listed faults written to a file of the user's choice, in the format the batch
// state calls for.
void exportErrorList(Session& session);

}  // namespace bs
