#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/session.h"
#include "reports/engine/report_engine.h"
#include "reports/report_tables.h"

namespace bs {

// The report objects of the session, made on first use.
ReportEngine& reportEngine(Session& session);

// Prepares reports into one document and shows it in the modal preview; a document without
// pages (no template loaded) shows nothing at all.
void showReports(Session& session, const std::vector<const ReportObject*>& reports, bool twoPass,
                 ReportTables* tables);

// "Report": the payment and detail reports of the last successful batch in one document, or the
// direct-debit report.  Does nothing, silently, before a successful batch.
void printPaymentReports(Session& session, ReportTables& tables);

// The three fee texts of the tier-rate tariff, read afresh on every press.
using RangeFeeReader = std::function<std::array<std::string, 3>(Session&)>;

// "Calculate Tier Rate Report": the pre-checks and validation of the input file, the
// Abort/Ignore decision on invalid home-bank accounts, then the credits to other banks counted
// in three tiers and the fee report shown.
void tierRateFeeReport(Session& session, const RangeFeeReader& readFees);

}  // namespace bs
