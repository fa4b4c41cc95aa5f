#pragma once

#include <string>
#include <string_view>

#include "core/session.h"
#include "reports/report_tables.h"

namespace bs {

// The English display name of a product code; a code outside the list is shown as it stands.
std::string productDisplayName(std::string_view code);

// After a clean batch: the payment summary in the grid (one row per debit, or per direct-debit
// record, then the Total row or an empty row), one DetailRow per credit in ReportTableDetail,
// and the report values customerRef, debitAccount and reportReady.
void fillPaymentSummary(Session& session, ReportTables& tables);

// Copies the summary rows of the grid into ReportTable, one insert statement per row.
void fillReportTable(Session& session, ReportTables& tables);

}  // namespace bs
