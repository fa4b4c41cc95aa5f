#include "cli/cli_reports.h"

#include <cstdio>

#include "core/failure.h"

namespace bs::cli {

void writeReportPdf(const ReportDocument&, const std::string&) {
  throw Failure("This build of Batchseal cannot render reports yet.");
}

std::vector<std::pair<std::string, std::string>> reportVariables(const ReportDocument&) {
  return {};
}

int verifyCommand(const std::string&, bool) {
  std::fputs("batchseal-cli: verify is not part of this build yet\n", stderr);
  return 2;
}

}  // namespace bs::cli
