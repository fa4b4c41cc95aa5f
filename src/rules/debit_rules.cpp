// The debit line (002) that opens a payment batch.  Every row carries the untrimmed debit
// account.  Keeps the debit amount and line for the driver's comparison with the credits and grows
// the debit total that the trailer compares; counts home-bank accounts that fail their check
// digit.

#include <string>

#include "rules/products.h"
#include "rules/record_check.h"
#include "rules/record_fields.h"
#include "rules/record_rules.h"

namespace bs {

namespace {

using namespace check;
namespace f = fields::debit;

bool validValueDate(const RecordLine& l) {
  return isValidDate(cut(l.text, 7, 10), cut(l.text, 11, 12), cut(l.text, 13, 14));
}
bool mediaClearing(const RecordLine& l) {
  return isMediaClearingProduct(l.product);
}
// Media Circle 1 and 2 lift the future-date demand of media clearing.
bool mediaCircleDated(const RecordLine& l) {
  std::string_view circle = cut(l.text, 103, 103);
  return !(circle == "1" || circle == "2");
}

bool productCode(std::string_view field, const RecordLine&) {
  return isValidProduct(field);
}

// Only a real date is held against today.
bool valueDateAgainstToday(const RecordLine& l) {
  return !mediaClearing(l) && validValueDate(l);
}
bool mediaClearingValueDate(const RecordLine& l) {
  return mediaClearing(l) && mediaCircleDated(l) && validValueDate(l);
}
bool valueDate(std::string_view, const RecordLine& l) {
  return validValueDate(l);
}
bool expressCheque(const RecordLine& l) {
  return isExpressChequeProduct(l.product);
}
// Columns 79-103 hold a second home-bank account for every product but media clearing (which
// has its fee account, filler and Media Circle there) and BahtNet (not examined).
bool secondAccount(const RecordLine& l) {
  return isValidProduct(l.product) && !isMediaClearingProduct(l.product) && l.product != "BNT";
}

bool mediaCircle(std::string_view field, const RecordLine&) {
  std::string_view t = trim(field);
  if (!isNumber(field)) return t.empty();
  return t == "0" || t == "1" || t == "2";
}

constexpr std::string_view kShouldBeNumber = "This field should  be number";
constexpr std::string_view kAccountType = "Account type should be number";
constexpr std::string_view kBranch = "Debit Branch should be number";
constexpr std::string_view kInvalidAccount = "Invalid ZNB Account";
constexpr Report kAccountFault = Report::AccountFault;

constexpr RuleField kSecondAccount{"Debit Account No", f::feeAccount};
constexpr RuleField kSecondAccountNumber{" Debit Account", f::feeAccount};
constexpr RuleField kFeeAccount{"Fee Debit Account", f::feeAccount, 79, 93};
constexpr RuleField kFiller{"Filler", f::feeAccount, 94, 102};
constexpr RuleField kMediaCircle{"Media Circle", f::feeAccount, 103, 103, true};

// clang-format off
constexpr Rule kRulesBeforeAmount[] = {
    {f::productCode, nullptr, productCode, "Invalid Product Code"},
    {f::valueDate, nullptr, valueDate, "Invalid value date"},
    {f::valueDate, valueDateAgainstToday, todayOrLater, "Value date should be today or future date"},
    {f::valueDate, mediaClearingValueDate, afterToday, "Value date in media clearing should be future date"},
    {f::account, nullptr, homeAccount, kInvalidAccount, kAccountFault},
    {{" Debit Account", f::account}, nullptr, trimmedNumber, kShouldBeNumber},
    {f::accountType, nullptr, blankOrNumber, kAccountType},
    {f::accountType, expressCheque, number, kAccountType},
    {f::branchCode, nullptr, blankOrNumber, kBranch},
    {f::currency, nullptr, thb, "Currency should be THB"},
    {f::feeAccountType, nullptr, blankOrNumber, kAccountType},
    {f::feeBranchCode, nullptr, blankOrNumber, kBranch},
};

constexpr Rule kRulesAfterAmount[] = {
    {f::creditCount, nullptr, numberOf<6>, "This field should be number 6 digits"},
    {f::internalReference, nullptr, notBlank, "This field should not be space"},
    {kSecondAccount, secondAccount, homeAccount, kInvalidAccount, kAccountFault},
    {kSecondAccountNumber, secondAccount, trimmedNumber, kShouldBeNumber},
    {kFeeAccount, mediaClearing, trimmedNumber, kShouldBeNumber},
    {kFiller, mediaClearing, blank, "This field should be space"},
    {kMediaCircle, mediaClearing, mediaCircle, "This field should  be space , 0 , 1 or 2"},
};
// clang-format on

// The amount keeps the batch's figures: a 16-character number always becomes the debit amount
// that the credits are compared with; only one ending in 0 and above zero counts towards the
// total that the trailer declares.
void checkDebitAmount(RecordCheck& c) {
  BatchState& state = c.context.state;
  if (!c.amountIs16DigitNumber(f::amount)) return;
  std::string_view amount = c.line.field(f::amount);
  double value = static_cast<double>(toFloat(amount));
  bool whole = cut(c.line.text, 64, 64) == "0";
  if (whole) {
    if (value > 0)
      state.debitAmountTotal += value;
    else
      c.report(f::amount, "Amount should be more than zero");
  }
  state.debitAmount = value;
  state.debitLine = c.lineNo;
  if (!whole) c.report(f::amount, "Amount should have two digits after decimal");
}

}  // namespace

const std::span<const Rule> tables::debitBeforeAmount = kRulesBeforeAmount;
const std::span<const Rule> tables::debitAfterAmount = kRulesAfterAmount;

void checkDebitRecord(RuleContext& context, std::string_view line, long lineNo) {
  const std::string today = context.clock.today();
  RecordCheck check(context, "002", line, lineNo);
  check.line.today = today;
  check.nameInRows(check.line.field(f::account), {});
  check.run(kRulesBeforeAmount);
  checkDebitAmount(check);
  check.run(kRulesAfterAmount);
}

}  // namespace bs
