#include "rules/records/direct_debit_rules.h"

#include <array>
#include <string>

#include "core/session.h"
#include "rules/records/record_check_table.h"

namespace bs {

namespace {

using namespace field;

bool validValueDate(const RecordLine& l) {
  return isValidDate(l.field(15, 18), l.field(19, 20), l.field(21, 22));
}
bool valueDate(std::string_view, const RecordLine& l) {
  return validValueDate(l);
}
bool processingRound(std::string_view f, const RecordLine&) {
  return f == "00" || f == "01" || f == "02";
}

// The account checks test only for a number: neither the length the messages name nor a check
// digit is demanded of a direct-debit account.
constexpr std::array<FieldCheck, 9> kDirectDebitChecks{{
    {"Internal Reference", "7-14", 7, 14, everyLine, notBlank, "This field should not be space"},
    {"Value Date", "15-22", 15, 22, everyLine, valueDate, "Invalid value date"},
    {"Value Date", "15-22", 15, 22, validValueDate, todayOrLater,
     "Value date should be today or future date"},
    {"Processing Round", "23-24", 23, 24, everyLine, notBlank, "This field should not be space"},
    {"Processing Round", "23-24", 23, 24, everyLine, numberOfWidth<2>,
     "This field should be number 2 digits"},
    {"Processing Round", "23-24", 23, 24, everyLine, processingRound,
     "This field should be 00,01 or 02"},
    {"Credit Account No", "25-49", 25, 49, everyLine, trimmedNumber,
     "This field should be number "},
    {"Credit Account No", "59-83", 59, 83, everyLine, trimmedNumber,
     "This field should be number 25 digits"},
    {"Credit Currency", "93-95", 93, 95, everyLine, thb, "Currency should be THB"},
}};

constexpr std::array<FieldCheck, 4> kDirectDebitItemChecks{{
    {"Internal Reference", "4-11", 4, 11, everyLine, notBlank, "This field should not be space"},
    {"Debit Sequence Number", "12-17", 12, 17, everyLine, numberOfWidth<6>,
     "This field should be number 6 digits"},
    {"Debit Account No", "18-42", 18, 42, everyLine, trimmedNumber,
     "This field should be number 25 digits"},
    {"Debit Currency", "43-45", 43, 45, everyLine, thb, "This field should THB"},
}};

}  // namespace

void checkDirectDebitRecord(Session& session, std::string_view line, long lineNo) {
  std::string today = session.clock.today();
  runFieldChecks(session, kDirectDebitChecks, RecordLine{line, {}, today}, "007", lineNo);
}

void checkDirectDebitItemRecord(Session& session, std::string_view line, long lineNo) {
  runFieldChecks(session, kDirectDebitItemChecks, RecordLine{line, {}, {}}, "008", lineNo);
}

}  // namespace bs
