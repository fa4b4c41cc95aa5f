// Receiving bank and product-specific fields of a credit: media clearing, BahtNet and cheques,
// and which products must, or must not, go to the home bank.

#include <algorithm>
#include <array>
#include <cstdint>

#include "rules/credit/credit_check.h"
#include "rules/products.h"

namespace bs::credit {

namespace {

constexpr Columns kReceivingBank{181, 183};
constexpr Columns kReceivingBankName{184, 218};
constexpr Columns kReceivingBranch{219, 222};
constexpr Columns kChequeReference{260, 279};
constexpr Columns kChequeDocumentType{280, 280};
constexpr Columns kPaymentTypeCode{281, 283};
constexpr Columns kServicesType{284, 285};

template <std::size_t N>
bool isIn(const std::array<std::string_view, N>& codes, std::string_view field) {
  return std::find(codes.begin(), codes.end(), field) != codes.end();
}

// Media clearing ("08" is accepted although the message names 01-07).
constexpr std::array<std::string_view, 9> kClearingServicesTypes{"01", "02", "03", "04", "05",
                                                                 "06", "07", "08", "59"};
bool isClearingServicesType(std::string_view f) {
  return isIn(kClearingServicesTypes, f);
}
bool productIsMcl(const CreditCheck& c) {
  return c.product == "MCL";
}

constexpr std::array<FieldRule, 3> kClearingRules{{
    {kReceivingBank,
     "Receiving Bank Code",
     nullptr,
     numberOfLength<3>,
     {"If product code is MCL,PA4,PA5,PA6 this field should be number and length equal 4 digits"}},
    {kReceivingBankName,
     "Receiving Bank Name",
     nullptr,
     notBlank,
     {"If product code is MCL,PA4,PA5,PA6 this field should not be space"}},
    {kReceivingBranch,
     "Receiving Branch Code",
     nullptr,
     numberOfLength<4>,
     {"If product code is MCL,PA4,PA5,PA6 this field should be number  and length equal 4 "
      "digits"}},
}};
constexpr std::array<FieldRule, 1> kClearingServicesRules{{
    {kServicesType,
     "ServicesType",
     productIsMcl,
     isClearingServicesType,
     {"If product code is MCL,PA4,PA5,PA6 this field should be 01-07 or 59"}},
}};

// BahtNet.
constexpr std::array<std::string_view, 14> kPaymentTypeCodes{"CSH", "BCQ", "HCQ", "DCA", "DSA",
                                                             "BCA", "BSA", "FCA", "FSA", "SPD",
                                                             "SPC", "UST", "OFA", "FWD"};
bool isPaymentTypeCode(std::string_view f) {
  return isIn(kPaymentTypeCodes, f);
}
// Service hours 00 to 23.  The conversion is unguarded: a number that is not an integer ("1.")
// ends the command.
bool isBahtNetServicesType(std::string_view f) {
  if (!isNumber(f)) return false;
  const std::int32_t hour = toInteger(f);
  return hour >= 0 && hour <= 23;
}

constexpr std::array<FieldRule, 5> kBahtNetRules{{
    {kReceivingBank,
     "Receiving Bank Code",
     nullptr,
     isNumber,
     {"If product code is BNT this field should be number"}},
    {kReceivingBankName,
     "Receiving Bank Name",
     nullptr,
     notBlank,
     {"If product code is BNT this field should not be space"}},
    {kReceivingBranch,
     "Receiving Branch Code",
     nullptr,
     isNumber,
     {"If product code is BNT this field should be number"}},
    {kPaymentTypeCode,
     "Payment Type Code",
     nullptr,
     isPaymentTypeCode,
     {"If product code is BNT this field should be in code"}},
    {kServicesType,
     "ServicesType",
     nullptr,
     isBahtNetServicesType,
     {"If product code is BNT this field should be 00-23"}},
}};

// Cheques, express cheques included ("S" is accepted although the message names A-R).
bool isChequeDocumentType(std::string_view f) {
  if (f.size() != 1) return false;
  const char c = f[0];
  return (c >= '1' && c <= '9') || (c >= 'A' && c <= 'S');
}
bool isHomeBank(std::string_view f) {
  return f == homeBankCode;
}
bool isNotHomeBank(std::string_view f) {
  return f != homeBankCode;
}

constexpr std::array<FieldRule, 5> kChequeRules{{
    {kReceivingBranch, "Receiving Branch Code", nullptr, isNumber,
     withProduct("If product code is ", " this field should be number")},
    {kChequeReference, "Cheque Reference Number", nullptr, notBlank,
     withProduct("If product code is ", " this field should not be space")},
    {kChequeDocumentType, "Cheque Reference Document Type", nullptr, notBlank,
     withProduct("If product code is ", " this field should not be space")},
    {kChequeDocumentType, "Cheque Reference Document Type", nullptr, isChequeDocumentType,
     withProduct("If product code is ", " this field should be 1-9 and A-R")},
    {kReceivingBank,
     "Receiving Bank Code",
     nullptr,
     isHomeBank,
     {"If product code is MCP,DDP,CCP,XMQ,XDQ this field should be 014"}},
}};

// Payroll through clearing goes to other banks; home-bank transfers stay at the home bank.
constexpr std::array<FieldRule, 1> kClearingPayrollPlacement{{
    {kReceivingBank,
     "Receiving Bank code",
     nullptr,
     isNotHomeBank,
     {"This field should not be 014"}},
}};
constexpr std::array<FieldRule, 1> kHomeTransferPlacement{{
    {kReceivingBank, "Receiving Bank code", nullptr, isHomeBank, {"This field should  be 014"}},
}};

}  // namespace

void checkProductBankFields(CreditCheck& check) {
  if (isMediaClearingProduct(check.product)) {
    applyRules(check, kClearingRules);
    applyRules(check, kClearingServicesRules);
  }
  if (check.product == "BNT") applyRules(check, kBahtNetRules);
  if (isChequeProduct(check.product) || isExpressChequeProduct(check.product)) {
    applyRules(check, kChequeRules);
  }
}

void checkHomeBankPlacement(CreditCheck& check) {
  if (check.productIsOneOf({"PA4", "PA5", "PA6"})) applyRules(check, kClearingPayrollPlacement);
  if (check.productIsOneOf({"PA2", "PA3", "PAY", "DCP"})) applyRules(check, kHomeTransferPlacement);
}

}  // namespace bs::credit
