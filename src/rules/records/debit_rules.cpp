#include "rules/records/debit_rules.h"

#include <array>
#include <string>

#include "core/error_list.h"
#include "core/session.h"
#include "rules/products.h"
#include "rules/records/record_check_table.h"

namespace bs {

namespace {

using namespace field;

constexpr std::string_view kRecordType = "002";

bool validValueDate(const RecordLine& l) {
  return isValidDate(l.field(7, 10), l.field(11, 12), l.field(13, 14));
}
bool mediaClearing(const RecordLine& l) {
  return isMediaClearingProduct(l.product);
}
// Media Circle 1 and 2 lift the future-date demand of media clearing.
bool mediaCircleDated(const RecordLine& l) {
  std::string_view circle = l.field(103, 103);
  return !(circle == "1" || circle == "2");
}

bool productCode(std::string_view f, const RecordLine&) {
  return isValidProduct(f);
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

bool mediaCircle(std::string_view f, const RecordLine&) {
  std::string_view t = trim(f);
  if (!isNumber(f)) return t.empty();
  return t == "0" || t == "1" || t == "2";
}

constexpr std::string_view kShouldBeNumber = "This field should  be number";
constexpr std::string_view kAccountType = "Account type should be number";
constexpr std::string_view kBranch = "Debit Branch should be number";
constexpr std::string_view kInvalidAccount = "Invalid ZNB Account";
constexpr FaultKind kSoft = FaultKind::SoftAccount;

// The checks before the amount.
constexpr std::array<FieldCheck, 12> kChecksBeforeAmount{{
    {"Product Code", "4-6", 4, 6, everyLine, productCode, "Invalid Product Code"},
    {"Value Date", "7-14", 7, 14, everyLine, valueDate, "Invalid value date"},
    {"Value Date", "7-14", 7, 14, valueDateAgainstToday, todayOrLater,
     "Value date should be today or future date"},
    {"Value Date", "7-14", 7, 14, mediaClearingValueDate, afterToday,
     "Value date in media clearing should be future date"},
    {"Debit Account No", "15-39", 15, 39, everyLine, homeAccount, kInvalidAccount, kSoft},
    {" Debit Account", "15-39", 15, 39, everyLine, trimmedNumber, kShouldBeNumber},
    {"Acct Type of Debit", "40-41", 40, 41, everyLine, blankOrNumber, kAccountType},
    {"Acct Type of Debit", "40-41", 40, 41, expressCheque, number, kAccountType},
    {"Debit Branch Code", "42-45", 42, 45, everyLine, blankOrNumber, kBranch},
    {"Debit Currency", "46-48", 46, 48, everyLine, thb, "Currency should be THB"},
    {"Acct Type(Fee)", "104-105", 104, 105, everyLine, blankOrNumber, kAccountType},
    {"Debit Branch Code(Fee)", "106-109", 106, 109, everyLine, blankOrNumber, kBranch},
}};

// The checks after the amount.
constexpr std::array<FieldCheck, 7> kChecksAfterAmount{{
    {"No. of Credits", "73-78", 73, 78, everyLine, numberOfWidth<6>,
     "This field should be number 6 digits"},
    {"Internal Reference", "65-72", 65, 72, everyLine, notBlank, "This field should not be space"},
    {"Debit Account No", "79-103", 79, 103, secondAccount, homeAccount, kInvalidAccount, kSoft},
    {" Debit Account", "79-103", 79, 103, secondAccount, trimmedNumber, kShouldBeNumber},
    {"Fee Debit Account", "79-93", 79, 93, mediaClearing, trimmedNumber, kShouldBeNumber},
    {"Filler", "94-102", 94, 102, mediaClearing, blank, "This field should be space"},
    {"Media Circle", "103", 103, 103, mediaClearing, mediaCircle,
     "This field should  be space , 0 , 1 or 2"},
}};

// The amount keeps the batch's figures: a 16-character number always becomes the debit amount
// that the credits are compared with; only one ending in 0 and above zero counts towards the
// total that the trailer declares.
void checkDebitAmount(Session& session, const RecordLine& line, long lineNo,
                      std::string_view account) {
  auto fault = [&](std::string_view message) {
    reportFaultWithParty(session, kRecordType, lineNo, "49-64", "Debit Amount", message, account,
                         {});
  };
  std::string_view amount = line.field(49, 64);
  if (trim(amount).size() != 16) {
    fault("Amount should have 16 digits");
    return;
  }
  if (!isNumber(amount)) {
    fault("Amount should be number");
    return;
  }
  double value = static_cast<double>(toFloat(amount));
  bool whole = line.field(64, 64) == "0";
  if (whole) {
    if (value > 0)
      session.state.debitAmountTotal += value;
    else
      fault("Amount should be more than zero");
  }
  session.state.debitAmount = value;
  session.state.debitLine = lineNo;
  if (!whole) fault("Amount should have two digits after decimal");
}

}  // namespace

void checkDebitRecord(Session& session, std::string_view line, long lineNo,
                      std::string_view product) {
  std::string today = session.clock.today();
  RecordLine record{line, product, today};
  std::string_view account = record.field(15, 39);
  runFieldChecksWithParty(session, kChecksBeforeAmount, record, kRecordType, lineNo, account);
  checkDebitAmount(session, record, lineNo, account);
  runFieldChecksWithParty(session, kChecksAfterAmount, record, kRecordType, lineNo, account);
}

}  // namespace bs
