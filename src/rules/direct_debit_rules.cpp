// The direct-debit line (007) and its item lines (008).  Both check formats only; their rows
// carry no account or payee.

#include <string>

#include "rules/record_check.h"
#include "rules/record_fields.h"
#include "rules/record_rules.h"

namespace bs {

namespace {

using namespace check;
namespace dd = fields::directDebit;
namespace item = fields::directDebitItem;

bool validValueDate(const RecordLine& l) {
  return isValidDate(cut(l.text, 15, 18), cut(l.text, 19, 20), cut(l.text, 21, 22));
}
bool valueDate(std::string_view, const RecordLine& l) {
  return validValueDate(l);
}
bool processingRound(std::string_view field, const RecordLine&) {
  return field == "00" || field == "01" || field == "02";
}

// The account checks test only for a number: neither the length the messages name nor a check
// digit is demanded of a direct-debit account.
// clang-format off
constexpr Rule kDirectDebitRules[] = {
    {dd::internalReference, nullptr, notBlank, "This field should not be space"},
    {dd::valueDate, nullptr, valueDate, "Invalid value date"},
    {dd::valueDate, validValueDate, todayOrLater, "Value date should be today or future date"},
    {dd::processingRound, nullptr, notBlank, "This field should not be space"},
    {dd::processingRound, nullptr, numberOf<2>, "This field should be number 2 digits"},
    {dd::processingRound, nullptr, processingRound, "This field should be 00,01 or 02"},
    {{"Credit Account No", dd::firstAccount}, nullptr, trimmedNumber, "This field should be number "},
    {dd::creditAccount, nullptr, trimmedNumber, "This field should be number 25 digits"},
    {dd::currency, nullptr, thb, "Currency should be THB"},
};

constexpr Rule kDirectDebitItemRules[] = {
    {item::internalReference, nullptr, notBlank, "This field should not be space"},
    {item::sequence, nullptr, numberOf<6>, "This field should be number 6 digits"},
    {item::account, nullptr, trimmedNumber, "This field should be number 25 digits"},
    {item::currency, nullptr, thb, "This field should THB"},
};
// clang-format on

}  // namespace

const std::span<const Rule> tables::directDebit = kDirectDebitRules;
const std::span<const Rule> tables::directDebitItem = kDirectDebitItemRules;

void checkDirectDebitRecord(RuleContext& context, std::string_view line, long lineNo) {
  const std::string today = context.clock.today();
  RecordCheck check(context, "007", line, lineNo);
  check.line.today = today;
  check.run(kDirectDebitRules);
}

void checkDirectDebitItemRecord(RuleContext& context, std::string_view line, long lineNo) {
  RecordCheck(context, "008", line, lineNo).run(kDirectDebitItemRules);
}

}  // namespace bs
