#pragma once

#include <string>

#include "core/session.h"
#include "reports/payment_summary.h"

namespace bs {

// The validation pass: one read of the payment file that hands every line to the rules of its
// record type and makes the checks that span records.  Every line also goes to `summary`, when
// given, which finishes at the end of the pass.
void validateFile(Session& session, const std::string& path, SummaryGatherer* summary = nullptr);

}  // namespace bs
