// An invoice line ("006") of the current credit.  Every error row names both the credit's
// account and its payee from the credit context, except the Print Language row, which names the
// payee for a cheque and the account for any other payment.

#include "rules/record_check.h"
#include "rules/record_fields.h"
#include "rules/record_rules.h"

namespace bs {

namespace {

using namespace check;
namespace f = fields::invoice;

bool invoiceDate(std::string_view, const RecordLine& l) {
  return isValidDate(cut(l.text, 55, 58), cut(l.text, 59, 60), cut(l.text, 61, 62));
}
// The zero test of the Invoice Amount is made only on a numeric field.
bool amountIsNumber(const RecordLine& l) {
  return isNumber(l.field(f::amount));
}
bool notZero(std::string_view field, const RecordLine&) {
  return isAmount16(field);
}
bool printLanguage(std::string_view field, const RecordLine&) {
  std::string_view language = trim(field);
  return language == "T" || language == "E";
}

constexpr std::string_view kNumber = "This field should be number";
constexpr std::string_view kSixteen = "This field should have 16 digits";
constexpr std::string_view kTwoDecimals = "Amount should have two digits after decimal";

// clang-format off
constexpr Rule kInvoiceRules[] = {
    {f::creditSequence, nullptr, numberOf<6>, "This field should be number 6 digits"},
    {f::internalReference, nullptr, notBlank, "This field should not be space"},
    {f::invoiceSequence, nullptr, numberOf<6>, "This field should be number 6 digits"},
    {f::invoiceNumber, nullptr, notBlank, "This field should not be space"},
    {f::date, nullptr, invoiceDate, "Invalid invoice date"},
    {f::amount, nullptr, number, kNumber},
    {f::amount, amountIsNumber, notZero, "This field should  not equal zero"},
    {f::amount, nullptr, sixteen, kSixteen},
    {f::amount, nullptr, twoDecimals, kTwoDecimals},
    {f::vatAmount, nullptr, number, kNumber},
    {f::vatAmount, nullptr, sixteen, kSixteen},
    {f::vatAmount, nullptr, twoDecimals, kTwoDecimals},
    {f::payeeChargeAmount, nullptr, number, kNumber},
    {f::payeeChargeAmount, nullptr, sixteen, kSixteen},
    {f::payeeChargeAmount, nullptr, twoDecimals, kTwoDecimals},
    {f::whtAmount, nullptr, number, kNumber},
    {f::whtAmount, nullptr, sixteen, kSixteen},
    {f::whtAmount, nullptr, twoDecimals, kTwoDecimals},
    {f::printLanguage, nullptr, printLanguage, "This field should be T or E", Report::Fault, Names::ByProduct},
};
// clang-format on

}  // namespace

const std::span<const Rule> tables::invoice = kInvoiceRules;

void checkInvoiceRecord(RuleContext& context, std::string_view line, long lineNo) {
  RecordCheck check(context, "006", line, lineNo);
  check.readCredit();
  check.nameInRows(check.credit().account, check.credit().beneNameEn);
  check.run(kInvoiceRules);
}

}  // namespace bs
