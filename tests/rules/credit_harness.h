#pragma once

// Runs the credit check on lines built from named fields and reads back its rows.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/error_list.h"
#include "core/scripted_ui.h"
#include "core/session.h"
#include "rules/credit/credit_rules.h"
#include "support/credit_lines.h"

namespace bs::test {

// The columns of an error row that a rule decides.
struct Fault {
  std::string columns;
  std::string field;
  std::string message;
  bool operator==(const Fault&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Fault& f) {
  return os << "{" << f.columns << " | " << f.field << " | \"" << f.message << "\"}";
}

struct Row {
  std::string recordType, line, columns, field, message, account, payee;
};

using Edits = std::vector<std::pair<CreditField, std::string>>;

class CreditHarness {
 public:
  CreditHarness() : session(ui, {}, Clock::fixed("20240101")) {
    setUpErrorList(session.form);
    session.state.batchValid = true;
  }

  void check(const std::string& line, std::string_view product, long lineNo = 7) {
    checkCreditRecord(session, line, lineNo, product);
  }
  void check(std::string_view product, const Edits& edits, long lineNo = 7) {
    CreditLine line(product);
    for (const auto& [field, text] : edits) line.set(field, text);
    check(line.str(), product, lineNo);
  }

  std::vector<Row> rows() const {
    const Grid& g = session.form.StringGrid1;
    std::vector<Row> out;
    // Data rows start at 1; the last row is always the empty one after them.
    for (int r = 1; r + 1 < g.rowCount(); ++r) {
      auto c = [&](int col) { return std::string(g.cell(col, r)); };
      out.push_back({c(1), c(2), c(3), c(4), c(5), c(6), c(7)});
    }
    return out;
  }
  std::vector<Fault> faults() const {
    std::vector<Fault> out;
    for (const Row& r : rows()) out.push_back({r.columns, r.field, r.message});
    return out;
  }

  ScriptedUi ui;
  Session session;
};

}  // namespace bs::test
