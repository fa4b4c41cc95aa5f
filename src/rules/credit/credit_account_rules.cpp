// The credit account: home-bank accounts carry a check digit, and the transfer and clearing
// products take account numbers only.

#include <array>

#include "rules/credit/credit_check.h"
#include "rules/products.h"

namespace bs::credit {

namespace {

constexpr Columns kAccount{10, 34};
constexpr Columns kReceivingBank{181, 183};

bool isTrimmedHomeAccount(std::string_view f) {
  return isHomeAccount(trim(f));
}
bool isTrimmedNumber(std::string_view f) {
  return isNumber(trim(f));
}
bool isHomeBank(std::string_view f) {
  return f == homeBankCode;
}
bool toHomeBank(const CreditCheck& c) {
  return c.field(kReceivingBank) == homeBankCode;
}

constexpr Message kAccountNotNumber =
    withProduct("If product code is ", " this field should be number");

// Home-bank transfers: the account must be a home-bank account and the bank the home bank.
constexpr std::array<FieldRule, 3> kHomeTransferAccountRules{{
    {kAccount,
     "Credit Account No",
     nullptr,
     isTrimmedHomeAccount,
     {"Invalid ZNB Account"},
     Report::AccountFault},
    {kReceivingBank,
     "Receiving Bank Code",
     nullptr,
     isHomeBank,
     {"If product code is DCP,PAY,PA2,PA3 this field should be 014"},
     Report::AccountFault},
    {kAccount, "Credit Account No", nullptr, isTrimmedNumber, kAccountNotNumber},
}};

// Products that may credit any bank: the check digit applies when the bank is the home bank.
constexpr std::array<FieldRule, 2> kAnyBankAccountRules{{
    {kAccount,
     "Credit Account No",
     toHomeBank,
     isTrimmedHomeAccount,
     {"Invalid ZNB Account"},
     Report::AccountFault},
    {kAccount, "Credit Account No", nullptr, isTrimmedNumber, kAccountNotNumber},
}};

}  // namespace

void checkCreditAccount(CreditCheck& check) {
  if (check.productIsOneOf({"DCP", "PAY", "PA2", "PA3"})) {
    applyRules(check, kHomeTransferAccountRules);
  } else if (check.productIsOneOf({"DDR", "MCL", "PA4", "PA5", "PA6", "BNT"})) {
    applyRules(check, kAnyBankAccountRules);
  }
}

}  // namespace bs::credit
