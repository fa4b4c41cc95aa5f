#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid.h"
#include "rules/rule_context.h"

namespace bs::test {

// Valid payment lines of the header, debit, trailer and direct-debit record types, built from
// named fields.  A line from these builders yields no error row of its own rule when "today" is
// pinned to kToday (or any day up to the day before its value date).

// The day the tests pin as today, and a value date after it that every product accepts.
inline constexpr std::string_view kToday = "20261209";
inline constexpr std::string_view kValueDate = "20261210";
// A home-bank account number with a correct check digit.
inline constexpr std::string_view kHomeAccount = "1234567896";

// The ten-digit home-bank account whose first nine digits are given, with its check digit.
std::string homeAccountWithCheckDigit(std::string_view nineDigits);
// `value` zero-padded on the left to `width` digits.
std::string digits(long long value, std::size_t width);
// A 16-character amount field: the amount in thousandths of a baht, zero-padded on the left.
// Amounts of a valid line end in 0.
std::string amount16(long long thousandths);
// `line` with columns first..last (1-based, inclusive) overwritten by `text`, left-aligned and
// padded with blanks or cut to the width; the line grows when it is shorter.
std::string withField(std::string line, std::size_t first, std::size_t last, std::string_view text);
// The same for each edit in turn.
struct FieldEdit {
  std::size_t first, last;
  std::string_view text;
};
std::string withFields(std::string line, const std::vector<FieldEdit>& edits);

// 001, 96 characters: company, customer reference, file date and time, channel BCM.
std::string headerLine(std::string_view companyId = "COMPANY00001");
// 002, 109 characters: any of the fourteen products, the amount in thousandths, the number of
// credits that follow, the value date and the home-bank debit account.  Columns 79-103 hold the
// fee account (media clearing, Media Circle blank), nothing (BNT) or a second home-bank account.
std::string debitLine(std::string_view product, long long amount, long credits,
                      std::string_view valueDate = kValueDate,
                      std::string_view account = kHomeAccount);
// 999, 31 characters: the declared debits, credits and total amount in thousandths.
std::string trailerLine(long debits, long credits, long long totalAmount);
// 007, 300 characters: product DDR, processing round 01, the account to credit, THB.
std::string directDebitLine(std::string_view valueDate = kValueDate,
                            std::string_view account = kHomeAccount);
// 008, 200 characters: one payer's account with its sequence number, THB.
std::string directDebitItemLine(long sequence = 1, std::string_view account = kHomeAccount);

// The error list of a grid, one entry per data row, columns 1 to 7 (Record Type to Payee Name).
struct ErrorRowText {
  std::string recordType, line, column, fieldName, message, account, payeeName;
  bool operator==(const ErrorRowText&) const = default;
};
std::vector<ErrorRowText> errorRows(const Grid& grid);

// The cells of an error row that a rule decides: Column, Field Name and Message.
struct Fault {
  std::string columns, field, message;
  bool operator==(const Fault&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Fault& f);

// What the validation driver hands a record rule: the error list laid out and empty, the batch
// valid so far, the current credit in memory, today pinned.
struct RuleBench {
  explicit RuleBench(std::string_view today = kToday);
  // The context of a line of a batch of `product`.
  RuleContext& context(std::string_view product = {}) {
    rule.product = product;
    return rule;
  }
  std::vector<ErrorRowText> rows() const { return errorRows(form.StringGrid1); }
  // The Message cells, in order.
  std::vector<std::string> messages() const;
  std::vector<Fault> faults() const;

  Form form;
  BatchState state;
  MemoryCreditContext credit;
  Clock clock;
  ErrorList errors{form};
  RuleContext rule{state, errors, credit, clock, {}};
};

}  // namespace bs::test
