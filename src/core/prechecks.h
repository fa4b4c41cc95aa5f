#pragma once

#include <string>

#include "core/session.h"

namespace bs {

// The structure pre-checks.  Each lists its offending lines in the error list and returns
// whether every line passed.
bool checkRecordTypes(Session& session, const std::string& path);
bool checkRecordLengths(Session& session, const std::string& path);

// Credits under the two express cheque products, over the whole file.
struct ExpressChequeCounts {
  long xmq = 0;
  long xdq = 0;
};

// Both structure pre-checks, and the credits under the express cheque products, in one read.
// When every line passes both, leaves the grid and the batch state exactly as checkRecordTypes
// followed by checkRecordLengths do and returns true; otherwise returns false having changed
// nothing, and the caller runs the two checks, which list the offending lines.
bool passStructureChecks(Session& session, const std::string& path, ExpressChequeCounts& express);

}  // namespace bs
