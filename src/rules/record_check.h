#pragma once

// The one shape of a record rule, and the runner of a rule table.  Internal to the rules.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "core/credit_context.h"
#include "core/field_checks.h"
#include "core/text_lines.h"
#include "rules/record_layout.h"
#include "rules/rule_context.h"

namespace bs {

// The field a rule judges: a field of the record's layout, or a part of it, with the Field Name
// its error rows carry (the layout's name unless the rule gives its own).  The Column cell is
// written "first-last"; a bare column writes one number ("103").
struct RuleField {
  const FieldSpec* layout;  // the field of the record layout it lies in
  std::string_view name;
  std::size_t first;
  std::size_t last;
  bool bareColumn = false;

  constexpr RuleField(const FieldSpec& field)
      : layout(&field), name(field.name), first(field.first), last(field.last) {}
  constexpr RuleField(std::string_view rowName, const FieldSpec& field)
      : layout(&field), name(rowName), first(field.first), last(field.last) {}
  // A part of the field; columns outside it do not compile in a rule table.
  constexpr RuleField(std::string_view rowName, const FieldSpec& field, std::size_t from,
                      std::size_t to, bool bare = false)
      : layout(&field), name(rowName), first(from), last(to), bareColumn(bare) {
    if (from < field.first || to > field.last || from > to) throw "columns outside the field";
  }
};

// What a predicate sees of the line it judges.
struct RecordLine {
  std::string_view text;
  std::string_view product;  // currentProduct
  const BatchState& state;
  std::string_view today = {};  // eight digits; set only where a rule compares dates
  int whtTypeCount = 0;         // withholding-tax lines only

  std::string_view field(const RuleField& f) const { return cut(text, f.first, f.last); }
  std::string_view trimmed(const RuleField& f) const { return trim(field(f)); }
  bool is(const RuleField& f, std::string_view value) const { return field(f) == value; }
};

// A message that stands alone, or names the product between two pieces
// ("If product code is " + product + " this field should be number").
struct Message {
  std::string_view text;
  bool namesProduct = false;
  std::string_view ending = {};

  constexpr Message(const char* t) : text(t) {}
  constexpr Message(std::string_view t) : text(t) {}
  constexpr Message(std::string_view opening, std::string_view end)
      : text(opening), namesProduct(true), ending(end) {}
};
constexpr Message withProduct(std::string_view opening, std::string_view ending) {
  return Message(opening, ending);
}

// How a failing rule is reported.
enum class Report {
  Fault,               // batchValid false, the row, markInvalid
  AccountFault,        // a debit's home-bank account: the row and one more invalid account
  CreditAccountFault,  // a credit's: the same, and batchValid false
};

// Whom the row names in its Account and Payee Name cells.
enum class Names {
  Line,       // what the record's rows carry (given to RecordCheck)
  Account,    // the current credit's account
  ByProduct,  // a cheque's payee by name, any other payment by the credit's account
};

// A rule as the bank's rule tables state it: the field, when it applies (every line when null),
// what the field must pass, the message of a failure.
struct Rule {
  RuleField field;
  bool (*when)(const RecordLine&);
  bool (*passes)(std::string_view field, const RecordLine&);
  Message message;
  Report report = Report::Fault;
  Names names = Names::Line;
};

// One line under check: its rules run and report through it.
class RecordCheck {
 public:
  RecordCheck(RuleContext& context, std::string_view recordType, std::string_view text,
              long lineNo);

  // The Account and Payee Name cells of the line's rows (empty unless set).
  void nameInRows(std::string_view account, std::string_view payeeName);
  // Reads the current credit for the rows that name its account or payee.
  void readCredit();
  // The line's rows name the current credit (as read) the way `names` says.
  void nameCreditInRows(Names names);
  const CreditContext& credit() const { return credit_; }
  bool isCheque() const;

  // Runs the rules in order; every rule runs whatever the earlier ones found.
  void run(std::span<const Rule> rules);
  void report(const RuleField& field, const Message& message, Report how = Report::Fault,
              Names names = Names::Line);
  // An amount field of 16 characters that is a number; reports the first test it fails.
  bool amountIs16DigitNumber(const RuleField& field);

  RuleContext& context;
  RecordLine line;
  const long lineNo;

 private:
  std::string_view recordType_;
  struct Cells {
    std::string_view account, payeeName;
  };
  Cells cells(Names names) const;

  std::string_view account_;
  std::string_view payeeName_;
  CreditContext credit_;
  std::string text_;
};

// Predicates shared by the tables.  "Trimmed" drops bytes of 0x20 and below at both ends.
namespace check {

inline bool notBlank(std::string_view f, const RecordLine&) {
  return !isBlank(f);
}
inline bool blank(std::string_view f, const RecordLine&) {
  return isBlank(f);
}
inline bool number(std::string_view f, const RecordLine&) {
  return isNumber(f);
}
inline bool trimmedNumber(std::string_view f, const RecordLine&) {
  return isNumber(trim(f));
}
// A field that may be left blank, but holds a number when it is filled.
inline bool blankOrNumber(std::string_view f, const RecordLine&) {
  return isBlank(f) || isNumber(f);
}
inline bool homeAccount(std::string_view f, const RecordLine&) {
  return isHomeAccount(trim(f));
}
inline bool thb(std::string_view f, const RecordLine&) {
  return f == "THB";
}
inline bool yesOrNo(std::string_view f, const RecordLine&) {
  return f == "Y" || f == "N";
}
// A number whose trimmed text has exactly N characters.
template <std::size_t N>
bool numberOf(std::string_view f, const RecordLine&) {
  return isNumber(f) && trim(f).size() == N;
}
// Exactly 16 characters after trimming.
inline bool sixteen(std::string_view f, const RecordLine&) {
  return trim(f).size() == 16;
}
// An amount whose last digit can be judged (16 characters, a number) ends in 0.
inline bool twoDecimals(std::string_view f, const RecordLine&) {
  return !(trim(f).size() == 16 && isNumber(f)) || f.substr(f.size() - 1) == "0";
}
// Value dates are compared with today as eight-digit texts, character by character.
inline bool todayOrLater(std::string_view f, const RecordLine& l) {
  return f >= l.today;
}
inline bool afterToday(std::string_view f, const RecordLine& l) {
  return f > l.today;
}

}  // namespace check

// Every rule table, by record type, for the checks of the tables themselves.
struct RuleTable {
  std::string_view recordType;
  std::span<const Rule> rules;
};
std::span<const RuleTable> ruleTables();

// The tables, each defined beside the rules of its record type.
namespace tables {
extern const std::span<const Rule> header, debitBeforeAmount, debitAfterAmount, creditSequence,
    creditReferenceAndFlags, creditPickup, creditWhtAndInvoiceCounts,
    creditCertificateAndNotification, creditBankAndAccount, payee, whtBeforeSum, whtAfterSum,
    invoice, directDebit, directDebitItem;
}  // namespace tables

}  // namespace bs
