#include "reports/report_steps.h"

#include "reports/engine/report_commands.h"
#include "reports/payment_summary.h"
#include "reports/settings.h"

namespace bs {

void installReportSteps(Session& session) {
  reportEngine(session);
  session.steps.fillPaymentSummary = [](Session& s) {
    auto tables = storeReportTables(s.store);
    fillPaymentSummary(s, *tables);
  };
  session.steps.fillReportTable = [](Session& s) {
    auto tables = storeReportTables(s.store);
    fillReportTable(s, *tables);
  };
  session.steps.printPaymentReports = [](Session& s) {
    if (!s.state.reportReady) return;
    auto tables = storeReportTables(s.store);
    printPaymentReports(s, *tables);
  };
  session.steps.tierRateFeeReport = [](Session& s) {
    tierRateFeeReport(s, [](Session& session) {
      RangeFees fees = loadRangeFees(session.paths);
      return std::array<std::string, 3>{fees.rangeFee1, fees.rangeFee2, fees.rangeFee3};
    });
  };
}

}  // namespace bs
