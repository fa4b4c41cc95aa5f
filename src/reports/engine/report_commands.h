#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/session.h"
#include "reports/engine/report_engine.h"
#include "reports/report_tables.h"

namespace bs {

// The report objects of the session, made on first use.
ReportEngine& reportEngine(Session& session);

// Prepares reports into one document and shows it in the modal preview; a document without
// pages (no template loaded) shows nothing at all.  Whether a document was shown.
bool showReports(Session& session, const std::vector<const ReportObject*>& reports, bool twoPass,
                 ReportTables* tables);

// "Report": the payment and detail reports of the last successful batch in one document, or the
// direct-debit report.  Does nothing, silently, before a successful batch.  Whether a report was
// shown.
bool printPaymentReports(Session& session, ReportTables& tables);

// The fee report of "Calculate Tier Rate Report", once its file has passed its gates: the
// credits to other banks of the input file counted in three tiers and priced with the three
// fee texts of the tariff.  Whether the report was shown.
bool showTierRateFeeReport(Session& session, const std::array<std::string, 3>& fees);

}  // namespace bs
