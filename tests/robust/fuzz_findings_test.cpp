// Inputs the fuzz targets found faults with, kept so that the faults stay fixed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/failure.h"
#include "reports/engine/report_template.h"

namespace bs {
namespace {

TEST(FuzzFindings, TemplateLinesWithoutAKeywordAreAFormatError) {
  // A line that opens with '|' once indexed the first word of an empty list.
  const std::vector<std::string> lines = {"| text only", "   |", "||", "\t| x"};
  for (const auto& line : lines) {
    SCOPED_TRACE(line);
    const std::string text = "batchseal-report 1\npage 210 297\n" + line + "\n";
    try {
      parseReportTemplate(text, "Fuzz.frf");
      ADD_FAILURE() << "accepted";
    } catch (const Failure& f) {
      EXPECT_NE(std::string(f.what()).find("Fuzz.frf"), std::string::npos) << f.what();
    }
  }
}

}  // namespace
}  // namespace bs
