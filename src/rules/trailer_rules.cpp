// The trailer line (999): the declared number of debits, of credits and the total amount, each
// checked for form and compared with what the lines before it added up to.  A file whose last
// debit or direct-debit line carried DDR is not compared.

#include "rules/products.h"
#include "rules/record_check.h"
#include "rules/record_fields.h"
#include "rules/record_rules.h"

namespace bs {

namespace {

namespace f = fields::trailer;

constexpr std::string_view kMoreThanZero = "This field should be number and more than zero";

// A declared count and the counter of the batch it must match.
struct CountField {
  const FieldSpec& field;
  long BatchState::*seen;
  std::string_view mismatch;
};

constexpr CountField kCountFields[] = {
    {f::debitCount, &BatchState::debitCount,
     "Total No. of Debits does not match with debit detail"},
    {f::creditCount, &BatchState::creditCount,
     "Total No. of Credits does not match with credit detail"},
};

void checkCount(RecordCheck& c, const CountField& count, bool compare) {
  std::string_view text = c.line.field(count.field);
  if (!isNumber(text) || trim(text).size() != 6) {
    c.report(count.field, "This field should be number 6 digits and more than zero");
    return;
  }
  if (!(toFloat(text) > 0)) c.report(count.field, kMoreThanZero);
  // The count is read as a whole number before the product is looked at: six characters that
  // are a number but not an integer (a point, an exponent) end the run here.
  long declared = toInteger(text);
  if (declared != c.context.state.*count.seen && compare) c.report(count.field, count.mismatch);
}

void checkTotalAmount(RecordCheck& c, bool compare) {
  std::string_view amount = c.line.field(f::totalAmount);
  bool numeric = isNumber(amount);
  if (numeric) {
    double value = static_cast<double>(toFloat(amount));
    if (!(value > 0)) c.report(f::totalAmount, kMoreThanZero);
    if (value != c.context.state.debitAmountTotal && compare)
      c.report(f::totalAmount, "Total Amount does not match with detail");
  } else {
    c.report(f::totalAmount, kMoreThanZero);
  }
  bool sixteen = trim(amount).size() == 16;
  if (!sixteen) c.report(f::totalAmount, "Total Amount should have 16 digits");
  if (sixteen && numeric && cut(c.line.text, 31, 31) != "0")
    c.report(f::totalAmount, "Amount should have two digits after decimal");
}

}  // namespace

void checkTrailerRecord(RuleContext& context, std::string_view line, long lineNo) {
  // A direct-debit file carries no debit and credit lines to hold its totals against.
  bool compare = context.state.currentProduct != directDebitProduct;
  RecordCheck check(context, "999", line, lineNo);
  for (const CountField& count : kCountFields) checkCount(check, count, compare);
  checkTotalAmount(check, compare);
}

}  // namespace bs
