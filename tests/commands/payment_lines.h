#pragma once

// Payment lines built from named fields, and small stand-in record rules that have just the
// effects on the batch state that the validation pass and the batch run depend on.

#include <string>
#include <string_view>
#include <vector>

#include "core/error_list.h"
#include "core/field_checks.h"
#include "core/grid.h"
#include "core/session.h"
#include "core/text_lines.h"
#include "support/test_support.h"

namespace bs::test {

inline std::string header(std::string_view companyId = "COMPANY01") {
  return LineBuilder("001", 96).set(4, 15, companyId);
}

// Amounts are written right-aligned in the 16-character field, in thousandths.
inline std::string debit(std::string_view amount, std::string_view declaredCredits,
                         std::string_view product = "MCL") {
  return LineBuilder("002", 109)
      .set(4, 6, product)
      .setRight(49, 64, amount)
      .setRight(73, 78, declaredCredits);
}

inline std::string credit(std::string_view amount, std::string_view whtCount = "00",
                          std::string_view whtTotal = "0",
                          std::string_view invoiceCount = "000000") {
  return LineBuilder("003", 355)
      .setRight(35, 50, amount)
      .set(92, 93, whtCount)
      .setRight(94, 109, whtTotal)
      .set(110, 115, invoiceCount);
}

inline std::string wht(std::string_view incomeType, std::string_view amount = "0") {
  return LineBuilder("005", 138).setRight(20, 35, amount).set(36, 40, incomeType);
}

inline std::string payee() {
  return LineBuilder("004", 816);
}
inline std::string invoice() {
  return LineBuilder("006", 196);
}
inline std::string trailer() {
  return LineBuilder("999", 31);
}

// Marks for the stand-in rules, in columns no real field of these tests uses.
inline std::string withMark(std::string line, std::string_view mark) {
  return line.replace(line.size() - mark.size(), mark.size(), mark);
}

namespace stub {

// The debit rule's effects: the amount and line of the current debit and the running total.
// A debit marked "INV" stands for a home-bank account that failed its check digit; one marked
// "BAD" for any other field fault.
inline void debitRule(Session& s, std::string_view line, long n, std::string_view) {
  const auto amount = static_cast<double>(toFloat(cut(line, 49, 64)));
  s.state.debitAmount = amount;
  s.state.debitLine = n;
  s.state.debitAmountTotal += amount;
  const std::string_view mark = cut(line, line.size() - 2, line.size());
  if (mark == "INV") {
    addError(s.form, "002", std::to_string(n), "17-27", "Debit Account", "Invalid ZNB Account");
    ++s.state.invalidAccountCount;
  } else if (mark == "BAD") {
    reportFault(s, "002", n, "4-6", "Product", "bad");
  }
}

// The credit rule's effects: the amount into the debit's sum, the Total WHT Amount with its
// line, and the count texts when they are numeric.  A credit marked "INV" stands for a failed
// home-bank account: it clears batchValid without the window's invalid state.
inline void creditRule(Session& s, std::string_view line, long n, std::string_view) {
  s.state.creditAmountSum += static_cast<double>(toFloat(cut(line, 35, 50)));
  s.state.creditWhtTotal = static_cast<double>(toFloat(cut(line, 94, 109)));
  s.state.creditLine = n;
  if (isNumber(cut(line, 92, 93))) s.state.creditWhtCountText = std::string(cut(line, 92, 93));
  if (isNumber(cut(line, 110, 115)))
    s.state.creditInvoiceCountText = std::string(cut(line, 110, 115));
  if (cut(line, line.size() - 2, line.size()) == "INV") {
    addError(s.form, "003", std::to_string(n), "182-192", "Account", "Invalid ZNB Account");
    ++s.state.invalidAccountCount;
    s.state.batchValid = false;
  }
}

inline void whtRule(Session& s, std::string_view line, long, int, std::string_view) {
  s.state.whtDetailSum += static_cast<double>(toFloat(cut(line, 20, 35)));
}

inline void install(Session& s) {
  s.rules.checkDebitRecord = &debitRule;
  s.rules.checkCreditRecord = &creditRule;
  s.rules.checkWhtRecord = &whtRule;
}

}  // namespace stub

// The data rows of the grid as "type|line|columns|field|message" texts.
inline std::vector<std::string> errorRows(const Grid& grid) {
  std::vector<std::string> rows;
  for (int r = 1; r + 1 < grid.rowCount(); ++r) {
    std::string row;
    for (int c = 1; c <= 5; ++c) {
      if (c > 1) row += '|';
      row += grid.cell(c, r);
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace bs::test
