#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reports/engine/report_document.h"
#include "reports/engine/report_template.h"
#include "reports/report_tables.h"

namespace bs {

// A report: a template, its named variables and the table it prints one detail band per row of.
class ReportObject {
 public:
  // Loads a template from a file.  A file that does not exist loads nothing and leaves the
  // template loaded before in place; the result says whether a template was loaded.
  bool loadFromFile(const std::filesystem::path& path);
  void setTemplate(ReportTemplate t) { template_ = std::move(t); }
  bool hasTemplate() const { return template_.has_value(); }
  const ReportTemplate* reportTemplate() const { return template_ ? &*template_ : nullptr; }

  // Sets a variable to an expression: a string literal in single quotes (inner quotes doubled),
  // a number, or the name of another variable or of a column of the bound table.  A variable set
  // again keeps its place in the order.
  void setVariable(std::string_view name, std::string_view expression);
  const std::vector<std::pair<std::string, std::string>>& variables() const { return variables_; }

  // The table file whose rows the detail band prints; empty for a report without data.
  std::string dataTable;
  // What the report is, for the title of its document.
  std::string title;

 private:
  std::optional<ReportTemplate> template_;
  std::vector<std::pair<std::string, std::string>> variables_;
};

// Several reports prepared one after the other into one document.
struct CompositeReport {
  bool twoPass = false;
  std::vector<ReportObject*> reports;
};

// Progress of preparation: pages or rows done of a total.
using PrepareProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Prepares reports into one document: the rows are read once to find the page breaks, and
// pages are laid out from `tables` when they are shown, so the document must not outlive them.
// Reports without a template give no pages.  With
// `twoPass`, a first pass counts the pages so that [TOTALPAGES] is known on every page;
// otherwise [TOTALPAGES] is the number of pages prepared so far.  `tables` supplies the rows of
// the bound tables (may be null when no report has one).
ReportDocument prepareReports(const std::vector<const ReportObject*>& reports, bool twoPass,
                              ReportTables* tables, const PrepareProgress& progress = {});

// The report objects of the main window, alive from one command to the next.
class ReportEngine {
 public:
  ReportObject frReport1;  // payment report over ReportTable
  ReportObject frReport2;  // payment detail report over ReportTableDetail
  ReportObject frReport3;  // direct-debit report over ReportTable
  ReportObject frReport5;  // tier-rate fee report, variables only
  CompositeReport frCompositeReport;

  ReportEngine();
};

// Evaluates a variable expression to its text (bytes as given).  Throws Failure for an
// expression the format does not accept.  `lookup` resolves a name.
std::string evaluateExpression(
    std::string_view expression,
    const std::function<std::optional<std::string>(std::string_view)>& lookup);

}  // namespace bs
