#include "rules/records/wht_rules.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/credit_context.h"
#include "core/error_list.h"
#include "core/field_checks.h"
#include "core/session.h"
#include "core/text_lines.h"
#include "rules/products.h"

namespace bs {

namespace {

struct WhtLine {
  std::string_view line;
  int whtTypeCount;

  std::string_view field(std::size_t first, std::size_t last) const {
    return cut(line, first, last);
  }
  std::string_view trimmed(std::size_t first, std::size_t last) const {
    return trim(field(first, last));
  }
  // A 16-digit amount field that is complete and numeric, so its last digit can be judged.
  bool isWholeNumber16(std::size_t first, std::size_t last) const {
    return trimmed(first, last).size() == 16 && isNumber(field(first, last));
  }
};

struct WhtCheck {
  std::string_view fieldName;
  std::string_view column;
  bool (*passes)(const WhtLine&);
  std::string_view message;
  // What the check does to the batch besides its row.
  void (*effect)(BatchState&, const WhtLine&) = nullptr;
};

bool digitsOfLength(std::string_view field, std::size_t length) {
  return isNumber(field) && trim(field).size() == length;
}

// The Income Type Amount is the income the tax was withheld on: a whole 16-digit amount above
// zero.  A field of the wrong length gets the length row only.
bool incomeAmountIsPositive(const WhtLine& w) {
  if (w.trimmed(123, 138).size() != 16) return true;
  std::string_view amount = w.field(123, 138);
  return isNumber(amount) && toFloat(amount) > 0;
}

// The WHT Amount counts towards the credit's total only when it is a whole 16-digit amount in
// thousandths ending in 0; a zero amount is accepted and adds nothing.
void addWhtAmount(BatchState& state, const WhtLine& w) {
  if (!w.isWholeNumber16(20, 35) || w.field(35, 35) != "0") return;
  long double value = toFloat(w.field(20, 35));
  if (value > 0) state.whtDetailSum += static_cast<double>(value);
}

constexpr WhtCheck kWhtChecks[] = {
    {"Credit Sequence No.", "12-17",
     [](const WhtLine& w) { return digitsOfLength(w.field(12, 17), 6); },
     "This field should be number 6 digits"},
    {"Internal Reference", "4-11", [](const WhtLine& w) { return !w.trimmed(4, 11).empty(); },
     "This field should not be space"},
    {"WHT Sequence No.", "18-19",
     [](const WhtLine& w) { return digitsOfLength(w.field(18, 19), 2); },
     "This field should be number 2 digits"},
    {"WHT Deduct Rate.", "121-122",
     [](const WhtLine& w) { return digitsOfLength(w.field(121, 122), 2); },
     "This field should be number 2 digits"},
    {"WHT Deduct Rate.", "121-122", [](const WhtLine& w) { return isCount2(w.field(121, 122)); },
     "This field should be WHT Deduct Rate > 0"},
    {"WHT Amount", "20-35", [](const WhtLine& w) { return isNumber(w.field(20, 35)); },
     "This field should be number "},
    {"WHT Amount", "20-35", [](const WhtLine& w) { return w.trimmed(20, 35).size() == 16; },
     "This field should have 16 digits", addWhtAmount},
    {"WHT Amount", "20-35",
     [](const WhtLine& w) { return !w.isWholeNumber16(20, 35) || w.field(35, 35) == "0"; },
     "Amount should have two digits after decimal"},
    {"WHT Income Type", "36-40",
     [](const WhtLine& w) { return isValidIncomeType(w.trimmed(36, 40)); },
     "Should be 1-6 or 4a,4b,4b1.1,4b1.2,4b1.3,4b1.4,4b2,4b3"},
    {"WHT Income Type", "36-40", [](const WhtLine& w) { return w.whtTypeCount <= 4; },
     "should not more three"},
    {"Income Description", "41-120",
     [](const WhtLine& w) { return w.trimmed(36, 40) != "6" || !w.trimmed(41, 120).empty(); },
     "If Income Type is 6 this field should not be space"},
    {"Income Type Amount", "123-138", incomeAmountIsPositive,
     "This field should be number and more than zero"},
    {"Income Type Amount", "123-138",
     [](const WhtLine& w) { return w.trimmed(123, 138).size() == 16; },
     "This field should have 16 digits"},
    {"Income Type Amount", "123-138",
     [](const WhtLine& w) { return !w.isWholeNumber16(123, 138) || w.field(138, 138) == "0"; },
     "Amount should have two digits after decimal"},
};

constexpr std::array<std::string_view, 5> kNumericIncomeTypes{"1", "2", "3", "5", "6"};
constexpr std::array<std::string_view, 8> kTypeFourIncomeTypes{"4A",    "4B",    "4B1.1", "4B1.2",
                                                               "4B1.3", "4B1.4", "4B2",   "4B3"};

}  // namespace

bool isValidIncomeType(std::string_view code) {
  if (isNumber(code)) return isOneOf(code, kNumericIncomeTypes);
  std::string upper(code);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : char(c);
  });
  return isOneOf(std::string_view(upper), kTypeFourIncomeTypes);
}

void checkWhtRecord(Session& session, std::string_view line, long lineNo, int whtTypeCount,
                    std::string_view product) {
  const CreditContext context = session.creditContext->read();
  const bool cheque = isChequeProduct(product);
  const std::string_view account = cheque ? std::string_view{} : context.account;
  const std::string_view payeeName =
      cheque ? std::string_view(context.beneNameEn) : std::string_view{};
  const WhtLine wht{line, whtTypeCount};

  for (const WhtCheck& check : kWhtChecks) {
    if (!check.passes(wht))
      reportFaultWithParty(session, "005", lineNo, check.column, check.fieldName, check.message,
                           account, payeeName);
    if (check.effect) check.effect(session.state, wht);
  }
}

}  // namespace bs
