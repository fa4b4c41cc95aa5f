#pragma once

#include <string>

#include "core/session.h"

namespace bs {

// The validation pass: one read of the payment file that hands every line to the rules of its
// record type and makes the checks that span records.
void validateFile(Session& session, const std::string& path);

}  // namespace bs
