// Sequence number, amount, currency and internal reference of a credit.

#include <array>

#include "core/session.h"
#include "rules/credit/credit_check.h"
#include "rules/products.h"

namespace bs::credit {

namespace {

constexpr Columns kSequence{4, 9};
constexpr Columns kAmount{35, 50};
constexpr Columns kAmountWhole{35, 47};
constexpr Columns kAmountFraction{48, 50};
constexpr Columns kCurrency{51, 53};
constexpr Columns kInternalReference{54, 61};
constexpr Columns kReceivingBank{181, 183};

constexpr std::size_t kAmountSignColumn = 35;
constexpr std::size_t kAmountLastDigit = 50;
constexpr std::string_view kAmountField = "Credit Amount";

// Media clearing to other banks is capped at 2,000,000 baht a credit; 2,000,000.00 itself passes.
constexpr long double kClearingLimitBaht = 2000000;

bool isThb(std::string_view field) {
  return field == "THB";
}

constexpr std::array<FieldRule, 1> kSequenceRules{{
    {kSequence,
     "Credit Sequence Number",
     nullptr,
     numberOfLength<6>,
     {"This field should be number 6 digits"}},
}};

constexpr std::array<FieldRule, 2> kCurrencyAndReferenceRules{{
    {kCurrency, "Credit Currency", nullptr, isThb, {"Currency should be THB"}},
    {kInternalReference,
     "Internal Reference",
     nullptr,
     notBlank,
     {"This field should not be space"}},
}};

void checkAmount(CreditCheck& c) {
  std::string_view amount = c.field(kAmount);
  if (trim(amount).size() != 16) {
    c.reportCreditError(kAmount, {"Amount should have 16 digits"}, kAmountField);
    return;
  }
  if (!isNumber(amount)) {
    c.reportCreditError(kAmount, {"Amount should be number"}, kAmountField);
    return;
  }
  // Unguarded: a body that starts with the exponent letter passes the number test but ends the
  // command here.
  const long double value = toFloat(amount);
  const bool endsInZero = c.columnIs(kAmountLastDigit, "0");
  if (endsInZero && (value == 0 || c.columnIs(kAmountSignColumn, "-"))) {
    c.reportCreditError(kAmount, {"Amount should be more than zero,Acc_No"}, kAmountField);
  }
  // The sum takes every amount that is a 16-character number, faulty ones included; the driver
  // compares it with the debit amount.
  c.session.state.creditAmountSum += static_cast<double>(value);

  if (c.product == "MCL" && c.field(kReceivingBank) != homeBankCode) {
    // The limit reads the amount as baht: whole part, a point, the three decimals.  An amount
    // with its own point or exponent makes a text that does not convert, which ends the command.
    std::string baht(c.field(kAmountWhole));
    baht += '.';
    baht += c.field(kAmountFraction);
    if (toFloat(baht) > kClearingLimitBaht) {
      c.reportCreditError(kAmount, {"Amount have not over 2,000,000 "}, kAmountField);
    }
  }
  if (!endsInZero) {
    c.reportCreditError(kAmount, {"Amount should have two digits after decimal"}, kAmountField);
  }
}

}  // namespace

void checkCoreFields(CreditCheck& check) {
  applyRules(check, kSequenceRules);
  checkAmount(check);
  applyRules(check, kCurrencyAndReferenceRules);
}

}  // namespace bs::credit
