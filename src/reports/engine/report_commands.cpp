#include "reports/engine/report_commands.h"

#include <filesystem>
#include <system_error>

#include "core/cp874.h"
#include "reports/money.h"
#include "reports/tier_rate_fee.h"
#include "rules/products.h"

namespace bs {

namespace {

void setPaymentVariables(Session& session, ReportObject& report) {
  const BatchState& st = session.state;
  report.setVariable("comId", sqlQuoted(st.companyId));
  report.setVariable("hashValue", sqlQuoted(session.form.edtHashvalue.text));
  report.setVariable("FileInputName", sqlQuoted(session.form.edtFileInput.text));
  report.setVariable("dabit_Acc", sqlQuoted(st.debitAccount));
  report.setVariable("Customer_Ref", sqlQuoted(st.customerRef));
}

}  // namespace

ReportEngine& reportEngine(Session& session) {
  if (!session.reports) session.reports = std::make_shared<ReportEngine>();
  return *session.reports;
}

bool showReports(Session& session, const std::vector<const ReportObject*>& reports, bool twoPass,
                 ReportTables* tables) {
  ReportDocument doc =
      prepareReports(reports, twoPass, tables, [&session](std::uint64_t done, std::uint64_t total) {
        session.ui.progress("Preparing report", done, total);
      });
  if (doc.pageCount() == 0) return false;
  // The document is named after its first report and the payment file it reports on.
  const std::string& file = session.form.edtFileInput.text;
  std::string title = reports.empty() ? std::string() : reports.front()->title;
  if (!file.empty())
    title += (title.empty() ? "" : " - ") + std::filesystem::path(file).filename().string();
  doc.setTitle(cp874ToUtf8(title));
  doc.setSourceFile(file);
  session.ui.showReport(doc);
  return true;
}

bool printPaymentReports(Session& session, ReportTables& tables) {
  if (!session.state.reportReady) return false;
  ReportEngine& engine = reportEngine(session);
  const std::filesystem::path folder = session.paths.reportFolder();
  // A table that cannot be opened ends the command with the store's message.
  tables.openTable(kReportTableFile);
  if (session.state.currentProduct != directDebitProduct) {
    engine.frReport1.loadFromFile(folder / "Payment.frf");
    setPaymentVariables(session, engine.frReport1);
    engine.frReport2.loadFromFile(folder / "PaymentDetail.frf");
    setPaymentVariables(session, engine.frReport2);
    CompositeReport& composite = engine.frCompositeReport;
    composite.twoPass = true;
    composite.reports.clear();
    composite.reports.push_back(&engine.frReport1);
    composite.reports.push_back(&engine.frReport2);
    std::vector<const ReportObject*> list(composite.reports.begin(), composite.reports.end());
    return showReports(session, list, composite.twoPass, &tables);
  } else {
    engine.frReport3.loadFromFile(folder / "DirectDebit.frf");
    engine.frReport3.setVariable("comId", sqlQuoted(session.state.companyId));
    engine.frReport3.setVariable("hashValue", sqlQuoted(session.form.edtHashvalue.text));
    return showReports(session, {&engine.frReport3}, false, &tables);
  }
}

bool showTierRateFeeReport(Session& session, const std::array<std::string, 3>& fees) {
  const std::string path = session.form.edtFileInput.text;
  Money fee1 = toMoney(fees[0]);
  Money fee2 = toMoney(fees[1]);
  Money fee3 = toMoney(fees[2]);
  TierCounts counts = countTierCredits(path);

  ReportObject& report = reportEngine(session).frReport5;
  report.loadFromFile(session.paths.reportFolder() / "DeductFee.frf");
  for (const auto& [name, value] : tierRateVariables(counts, fee1, fee2, fee3))
    report.setVariable(name, sqlQuoted(value));
  for (const auto& [name, value] : tierFeeVariables(fee1, fee2, fee3))
    report.setVariable(name, sqlQuoted(value));
  return showReports(session, {&report}, false, nullptr);
}

}  // namespace bs
