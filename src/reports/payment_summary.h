#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/platform_file.h"
#include "core/session.h"
#include "reports/report_tables.h"

namespace bs {

// The English display name of a product code; a code outside the list is shown as it stands.
std::string productDisplayName(std::string_view code);

// The steps of a summary kept for later, in an unnamed scratch file.
struct SummarySpill {
  static constexpr std::size_t kFlushAt = std::size_t{1} << 18;
  std::string folder;
  UniqueFd fd;
  std::string bytes;  // kept steps not yet written
  std::uint64_t written = 0;
  void flushIfFull();
  void flush();
};

// What the summary takes from the payment file, gathered from the lines of the validation pass,
// so that the summary does not read the file again: its steps for either kind of batch (which
// one the batch is, the validation only knows at its end), kept in order in an unnamed scratch
// file in `scratchFolder`, so that the memory does not grow with the number of credits.  What
// goes wrong while gathering (no scratch file, a full disk, a field that does not convert) only
// makes the summary read the file itself, as it does without a gatherer, and meet the same
// failure there.
class SummaryGatherer {
 public:
  SummaryGatherer(const std::string& scratchFolder, const BatchState& state);
  ~SummaryGatherer();
  SummaryGatherer(const SummaryGatherer&) = delete;
  SummaryGatherer& operator=(const SummaryGatherer&) = delete;

  // Every line of the file, in order, then finish().
  void line(std::string_view line);
  void finish();

  bool usableFor(bool directDebit) const;
  const SummarySpill& spill() const { return spill_; }

 private:
  struct Lines;
  SummarySpill spill_;
  std::unique_ptr<Lines> lines_;
  bool paymentUsable_ = true;
  bool directDebitUsable_ = true;
  bool finished_ = false;
};

// After a clean batch: the payment summary in the grid (one row per debit, or per direct-debit
// record, then the Total row or an empty row), one DetailRow per credit in ReportTableDetail,
// and the report values customerRef, debitAccount and reportReady.  The window shows the
// summary's title, status line and empty grid before the report tables are opened, so a table
// that cannot be opened ends the command with that state shown.  With `gathered`, from the lines
// the validation pass gathered; the grid, the tables and the state come out the same.
void fillPaymentSummary(Session& session, ReportTables& tables,
                        SummaryGatherer* gathered = nullptr);
// The same on the session's table store.
void fillPaymentSummary(Session& session, SummaryGatherer* gathered = nullptr);

// The summary empties ReportTable and ReportTableDetail before it fills them.  A batch run has the
// session's table store empty them on a helper thread while it validates the file, and keeps
// them empty once it is sure to go on to the summary; any other use of the store first puts
// their rows back, so a run that stops leaves the last batch's rows as they were.
void clearReportTablesAhead(Session& session);
void keepReportTablesCleared(Session& session);

// Copies the summary rows of the grid into ReportTable, one insert statement per row.
void fillReportTable(Session& session, ReportTables& tables);
void fillReportTable(Session& session);

}  // namespace bs
