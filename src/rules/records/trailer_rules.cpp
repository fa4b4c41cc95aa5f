#include "rules/records/trailer_rules.h"

#include <array>

#include "core/error_list.h"
#include "core/field_checks.h"
#include "core/session.h"
#include "core/text_lines.h"
#include "rules/products.h"

namespace bs {

namespace {

constexpr std::string_view kRecordType = "999";
constexpr std::string_view kMoreThanZero = "This field should be number and more than zero";

// A declared count and the counter of the batch it must match.
struct CountField {
  std::string_view fieldName;
  std::string_view column;
  std::size_t first;
  std::size_t last;
  long BatchState::*seen;
  std::string_view mismatch;
};

constexpr std::array<CountField, 2> kCountFields{{
    {"Total No. of Debits", "4-9", 4, 9, &BatchState::debitCount,
     "Total No. of Debits does not match with debit detail"},
    {"Total No. of Credits", "10-15", 10, 15, &BatchState::creditCount,
     "Total No. of Credits does not match with credit detail"},
}};

void checkCount(Session& session, std::string_view line, long lineNo, const CountField& count,
                bool compare) {
  auto fault = [&](std::string_view message) {
    reportFault(session, kRecordType, lineNo, count.column, count.fieldName, message);
  };
  std::string_view text = cut(line, count.first, count.last);
  if (!isNumber(text) || trim(text).size() != 6) {
    fault("This field should be number 6 digits and more than zero");
    return;
  }
  if (!(toFloat(text) > 0)) fault(kMoreThanZero);
  // The count is read as a whole number before the product is looked at: six characters that
  // are a number but not an integer (a point, an exponent) end the run here.
  long declared = toInteger(text);
  if (declared != session.state.*count.seen && compare) fault(count.mismatch);
}

void checkTotalAmount(Session& session, std::string_view line, long lineNo, bool compare) {
  auto fault = [&](std::string_view message) {
    reportFault(session, kRecordType, lineNo, "16-31", "Total Amount", message);
  };
  std::string_view amount = cut(line, 16, 31);
  bool numeric = isNumber(amount);
  if (numeric) {
    double value = static_cast<double>(toFloat(amount));
    if (!(value > 0)) fault(kMoreThanZero);
    if (value != session.state.debitAmountTotal && compare)
      fault("Total Amount does not match with detail");
  } else {
    fault(kMoreThanZero);
  }
  bool sixteen = trim(amount).size() == 16;
  if (!sixteen) fault("Total Amount should have 16 digits");
  if (sixteen && numeric && cut(line, 31, 31) != "0")
    fault("Amount should have two digits after decimal");
}

}  // namespace

void checkTrailerRecord(Session& session, std::string_view line, long lineNo) {
  // A direct-debit file carries no debit and credit lines to hold its totals against.
  bool compare = session.state.currentProduct != directDebitProduct;
  for (const CountField& count : kCountFields) checkCount(session, line, lineNo, count, compare);
  checkTotalAmount(session, line, lineNo, compare);
}

}  // namespace bs
