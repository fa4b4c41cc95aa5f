#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "core/field_checks.h"
#include "core/text_lines.h"

namespace bs {

class Session;

// What a check sees of the line it judges.
struct RecordLine {
  std::string_view text;
  std::string_view product;  // the product code handed to the rule; empty where it gets none
  std::string_view today;    // today's local date, eight digits; empty where no check needs it

  std::string_view field(std::size_t first, std::size_t last) const {
    return cut(text, first, last);
  }
};

// How a failing check is reported.
enum class FaultKind {
  Hard,         // batchValid false, the row, markInvalid
  SoftAccount,  // the row and one more invalid home-bank account; batchValid stays as it is
};

// One line of a record's rule table: the Field Name and Column texts of the grid, the columns
// judged, the lines it applies to, the predicate the field must pass and the message of a failure.
struct FieldCheck {
  std::string_view fieldName;
  std::string_view column;
  std::size_t first;
  std::size_t last;
  bool (*appliesTo)(const RecordLine&);
  bool (*passes)(std::string_view field, const RecordLine&);
  std::string_view message;
  FaultKind kind = FaultKind::Hard;
};

// Runs the checks in their order; every check runs whatever the earlier ones found.  The rows get
// empty Account and Payee Name cells.
void runFieldChecks(Session& session, std::span<const FieldCheck> checks, const RecordLine& line,
                    std::string_view recordType, long lineNo);
// The same, the rows carrying `account` in the Account cell and an empty Payee Name.
void runFieldChecksWithParty(Session& session, std::span<const FieldCheck> checks,
                             const RecordLine& line, std::string_view recordType, long lineNo,
                             std::string_view account);

// Predicates shared by the record tables.  "Trimmed" drops bytes of 0x20 and below at both ends.
namespace field {

inline bool everyLine(const RecordLine&) {
  return true;
}

inline bool notBlank(std::string_view f, const RecordLine&) {
  return !trim(f).empty();
}
inline bool blank(std::string_view f, const RecordLine&) {
  return trim(f).empty();
}
inline bool number(std::string_view f, const RecordLine&) {
  return isNumber(f);
}
inline bool trimmedNumber(std::string_view f, const RecordLine&) {
  return isNumber(trim(f));
}
// A field that may be left blank, but holds a number when it is filled.
inline bool blankOrNumber(std::string_view f, const RecordLine&) {
  return trim(f).empty() || isNumber(f);
}
inline bool homeAccount(std::string_view f, const RecordLine&) {
  return isHomeAccount(trim(f));
}
inline bool thb(std::string_view f, const RecordLine&) {
  return f == "THB";
}

// A number whose trimmed text has exactly N characters.
template <std::size_t N>
bool numberOfWidth(std::string_view f, const RecordLine&) {
  return isNumber(f) && trim(f).size() == N;
}

// Value dates are compared with today as eight-digit texts, character by character.
inline bool todayOrLater(std::string_view f, const RecordLine& l) {
  return f >= l.today;
}
inline bool afterToday(std::string_view f, const RecordLine& l) {
  return f > l.today;
}

}  // namespace field

}  // namespace bs
