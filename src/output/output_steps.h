#pragma once

#include "core/session.h"

namespace bs {

// The steps of the output side: the notification fill before validation and the sealed output
// with its archive after it.
void installOutputSteps(Session& session);

}  // namespace bs
