// A withholding-tax line ("005") of the current credit.  Checks its fields, adds a valid WHT
// Amount to the credit's detail sum and names the credit's account (or, for a cheque, its payee)
// in every error row.

#include <algorithm>
#include <array>
#include <string>

#include "rules/income_types.h"
#include "rules/products.h"
#include "rules/record_check.h"
#include "rules/record_fields.h"
#include "rules/record_rules.h"

namespace bs {

namespace {

using namespace check;
namespace f = fields::wht;

constexpr RuleField kDeductRate{"WHT Deduct Rate.", f::deductRate};

bool deductRateAboveZero(std::string_view field, const RecordLine&) {
  return isCount2(field);
}
bool incomeType(std::string_view field, const RecordLine&) {
  return isValidIncomeType(trim(field));
}
bool atMostFourTypes(std::string_view, const RecordLine& l) {
  return l.whtTypeCount <= 4;
}
bool incomeTypeSix(const RecordLine& l) {
  return l.trimmed(f::incomeType) == "6";
}
// The Income Type Amount is the income the tax was withheld on: a whole 16-digit amount above
// zero.  A field of the wrong length gets the length row only.
bool incomeAmountAboveZero(std::string_view field, const RecordLine&) {
  if (trim(field).size() != 16) return true;
  return isNumber(field) && toFloat(field) > 0;
}

// clang-format off
constexpr Rule kRulesBeforeSum[] = {
    {f::creditSequence, nullptr, numberOf<6>, "This field should be number 6 digits"},
    {f::internalReference, nullptr, notBlank, "This field should not be space"},
    {f::whtSequence, nullptr, numberOf<2>, "This field should be number 2 digits"},
    {kDeductRate, nullptr, numberOf<2>, "This field should be number 2 digits"},
    {kDeductRate, nullptr, deductRateAboveZero, "This field should be WHT Deduct Rate > 0"},
    {f::amount, nullptr, number, "This field should be number "},
    {f::amount, nullptr, sixteen, "This field should have 16 digits"},
};
constexpr Rule kRulesAfterSum[] = {
    {f::amount, nullptr, twoDecimals, "Amount should have two digits after decimal"},
    {f::incomeType, nullptr, incomeType, "Should be 1-6 or 4a,4b,4b1.1,4b1.2,4b1.3,4b1.4,4b2,4b3"},
    {f::incomeType, nullptr, atMostFourTypes, "should not more three"},
    {f::description, incomeTypeSix, notBlank, "If Income Type is 6 this field should not be space"},
    {f::incomeAmount, nullptr, incomeAmountAboveZero, "This field should be number and more than zero"},
    {f::incomeAmount, nullptr, sixteen, "This field should have 16 digits"},
    {f::incomeAmount, nullptr, twoDecimals, "Amount should have two digits after decimal"},
};
// clang-format on

// The WHT Amount counts towards the credit's total only when it is a whole 16-digit amount in
// thousandths ending in 0; a zero amount is accepted and adds nothing.
void addWhtAmount(RecordCheck& c) {
  std::string_view amount = c.line.field(f::amount);
  if (trim(amount).size() != 16 || !isNumber(amount) || cut(c.line.text, 35, 35) != "0") return;
  long double value = toFloat(amount);
  if (value > 0) c.context.state.whtDetailSum += static_cast<double>(value);
}

constexpr std::array<std::string_view, 5> kNumericIncomeTypes{"1", "2", "3", "5", "6"};
constexpr std::array<std::string_view, 8> kTypeFourIncomeTypes{"4A",    "4B",    "4B1.1", "4B1.2",
                                                               "4B1.3", "4B1.4", "4B2",   "4B3"};

}  // namespace

const std::span<const Rule> tables::whtBeforeSum = kRulesBeforeSum;
const std::span<const Rule> tables::whtAfterSum = kRulesAfterSum;

bool isValidIncomeType(std::string_view code) {
  if (isNumber(code)) return isOneOf(code, kNumericIncomeTypes);
  std::string upper(code);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : char(c);
  });
  return isOneOf(std::string_view(upper), kTypeFourIncomeTypes);
}

void checkWhtRecord(RuleContext& context, std::string_view line, long lineNo, int whtTypeCount) {
  RecordCheck check(context, "005", line, lineNo);
  check.line.whtTypeCount = whtTypeCount;
  check.readCredit();
  check.nameCreditInRows(Names::ByProduct);
  check.run(kRulesBeforeSum);
  addWhtAmount(check);
  check.run(kRulesAfterSum);
}

}  // namespace bs
