// The payee line ("004") of the current credit.  Stores the payee's names in the credit context
// before any check runs, so that the withholding-tax and invoice lines that follow can name the
// payee, then checks the line's fields under the product and the credit's fax and WHT flags.

#include "rules/products.h"
#include "rules/record_check.h"
#include "rules/record_fields.h"
#include "rules/record_rules.h"

namespace bs {

namespace {

using namespace check;
namespace f = fields::payee;

constexpr std::string_view kThaiNameMessage =
    "This field should not Name Thai should not ~ ! @ # $ % ^  _ * + = { }[ ] | \\ ; \" \"< > ?";
constexpr std::string_view kEnglishNameMessage =
    "This field should not Name English should not ~ ! @ # $ % ^  _ * + = { }[ ] | \\ ; \" \"< > "
    "?";
constexpr std::string_view kIdCardMessageA =
    "This field Tax ID = space ,This field should be ID Card = 13 digit   ";
constexpr std::string_view kIdCardMessageB =
    "This field Tax ID = space ,This field should be ID Card = 13 digit  ";

// The payee names are checked for the cheque products and the express cheques, whose names are
// printed on the cheque.
bool printsNames(const RecordLine& l) {
  return isChequeProduct(l.product) || isExpressChequeProduct(l.product);
}
bool faxRequired(const RecordLine& l) {
  return l.state.faxRequired;
}
bool whtPresent(const RecordLine& l) {
  return l.state.whtPresent;
}
// With withholding tax and no Tax ID, the ID card stands in for it.
bool idCardStandsForTaxId(const RecordLine& l) {
  return l.state.whtPresent && l.trimmed(f::taxId).empty() && !l.trimmed(f::idCard).empty();
}

template <std::size_t Width>
bool cleanName(std::string_view field, const RecordLine&) {
  return isNameTextClean(field, Width);
}
bool taxIdOrIdCard(std::string_view field, const RecordLine& l) {
  return !trim(field).empty() || !l.trimmed(f::idCard).empty();
}
bool idCardLongEnough(std::string_view field, const RecordLine&) {
  return trim(field).size() >= 10;
}
bool idCardNotElevenOrTwelve(std::string_view field, const RecordLine&) {
  std::size_t n = trim(field).size();
  return n != 11 && n != 12;
}

// Most rows name a cheque's payee by name and any other payment by the credit's account; the
// ID-card rows always name the account.
constexpr Names kAccount = Names::Account;
constexpr Report kFault = Report::Fault;

// clang-format off
constexpr Rule kPayeeRules[] = {
    {f::creditSequence, nullptr, numberOf<6>, "This field should be number 6 digits"},
    {f::internalReference, nullptr, notBlank, "This field should not be space"},
    {f::nameTh, printsNames, cleanName<100>, kThaiNameMessage},
    {f::payee2NameTh, printsNames, cleanName<100>, kEnglishNameMessage},
    {f::nameEn, printsNames, cleanName<70>, kEnglishNameMessage},
    {f::fax, faxRequired, notBlank, "This field should  be Payee1 Fax Number"},
    {f::fax, faxRequired, trimmedNumber, "This field should be number "},
    {f::taxId, whtPresent, taxIdOrIdCard, "This field should  be Payee1 Tax ID"},
    {f::idCard, idCardStandsForTaxId, idCardLongEnough, kIdCardMessageA, kFault, kAccount},
    {f::idCard, idCardStandsForTaxId, idCardNotElevenOrTwelve, kIdCardMessageB, kFault, kAccount},
};
// clang-format on

}  // namespace

const std::span<const Rule> tables::payee = kPayeeRules;

void checkPayeeRecord(RuleContext& context, std::string_view line, long lineNo) {
  RecordCheck check(context, "004", line, lineNo);
  // The names go into the context first, so that they are there even when this line has faults.
  std::string_view nameTh = check.line.trimmed(f::nameTh);
  std::string_view nameEn = check.line.trimmed(f::nameEn);
  if (nameEn.empty()) nameEn = nameTh;
  context.credit.writeNames(nameEn, nameTh);
  // The rows name the payee as the context holds it, read back after the write.
  check.readCredit();
  check.nameCreditInRows(Names::ByProduct);
  check.run(kPayeeRules);
}

}  // namespace bs
