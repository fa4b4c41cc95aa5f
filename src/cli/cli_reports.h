#pragma once

#include <string>
#include <utility>
#include <vector>

namespace bs {
class ReportDocument;
}

namespace bs::cli {

// Readies the report engine to prepare pages without a display.
void prepareForReports();
// Renders a prepared report to a PDF file without a display.  Throws Failure.
void writeReportPdf(const ReportDocument& document, const std::string& path);
// The report's variables, values without their quotes, as UTF-8.
std::vector<std::pair<std::string, std::string>> reportVariables(const ReportDocument& document);
}  // namespace bs::cli
