#pragma once

#include "core/session.h"

namespace bs {

// Installs the payment summary, the report-table step, "Report" and "Calculate Tier Rate
// Report" on a session, over the session's table store, and gives it its report objects.
void installReportSteps(Session& session);

}  // namespace bs
