#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/session.h"
#include "core/text_lines.h"
#include "reports/payment_summary.h"

namespace bs {

// The validation pass: one read of the payment file that hands every line to the rules of its
// record type and makes the checks that span records.  Every line also goes to `summary`, when
// given, which finishes at the end of the pass.
void validateFile(Session& session, const std::string& path, SummaryGatherer* summary = nullptr);

// Sees every line before the rules do; false ends the pass there.  It may hand the rules another
// text for the line (the line as the notification fill will leave it).
using LineFilter = std::function<bool(const LineReader& reader, std::string_view& line)>;

// The same pass over a file already open, with the rules' current-credit row in `context`;
// false when `accept` ended it early.
bool validateFile(Session& session, LineReader& reader, CreditContextStore& context,
                  const LineFilter& accept, SummaryGatherer* summary = nullptr);

}  // namespace bs
