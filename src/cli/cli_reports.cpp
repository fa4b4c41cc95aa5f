#include "cli/cli_reports.h"

#include "core/failure.h"
#include "reports/engine/report_document.h"

namespace bs::cli {

void prepareForReports() {
  ensureGuiApplication();
}

void writeReportPdf(const ReportDocument& document, const std::string& path) {
  document.writePdf(path);
}

std::vector<std::pair<std::string, std::string>> reportVariables(const ReportDocument& document) {
  return document.variables();
}

}  // namespace bs::cli
