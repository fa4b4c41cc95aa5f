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
// and the report values customerRef, debitAccount and reportReady.  The window shows the
// summary's title, status line and empty grid before the report tables are opened, so a table
// that cannot be opened ends the command with that state shown.
void fillPaymentSummary(Session& session, ReportTables& tables);
// The same on the session's table store.
void fillPaymentSummary(Session& session);

// Copies the summary rows of the grid into ReportTable, one insert statement per row.
void fillReportTable(Session& session, ReportTables& tables);
void fillReportTable(Session& session);

}  // namespace bs
