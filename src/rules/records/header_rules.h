#pragma once

#include <string_view>

namespace bs {

class Session;

// The header line (001): company, customer reference, file date and time, channel.  One row per
// failing field; keeps no state of its own.
void checkHeaderRecord(Session& session, std::string_view line, long lineNo);

}  // namespace bs
