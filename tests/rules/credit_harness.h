#pragma once

// Runs the credit check on lines built from named fields and reads back its rows.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "rules/record_rules.h"
#include "support/credit_lines.h"
#include "support/record_lines.h"

namespace bs::test {

using Edits = std::vector<std::pair<CreditField, std::string>>;

struct CreditHarness : RuleBench {
  void check(const std::string& line, std::string_view product, long lineNo = 7) {
    checkCreditRecord(context(product), line, lineNo);
  }
  void check(std::string_view product, const Edits& edits, long lineNo = 7) {
    CreditLine line(product);
    for (const auto& [field, text] : edits) line.set(field, text);
    check(line.str(), product, lineNo);
  }
};

}  // namespace bs::test
