#pragma once

// The pieces of the credit check shared by its rule groups.  Internal to the credit rules.

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "core/field_checks.h"
#include "core/text_lines.h"

namespace bs {

class Session;

namespace credit {

// Columns of a field, 1-based and inclusive; the error row writes them as "first-last".
struct Columns {
  std::size_t first;
  std::size_t last;
};

// A message that either stands alone or names the product between its two pieces
// ("If product code is " + product + " this field should be number").
struct Message {
  std::string_view text;
  bool namesProduct = false;
  std::string_view ending = {};
};
constexpr Message withProduct(std::string_view opening, std::string_view ending) {
  return Message{opening, true, ending};
}

// How a rule reports: a plain credit fault, or a home-bank account fault that also counts in
// invalidAccountCount and leaves the status line alone.
enum class Report { CreditError, AccountFault };

// One credit line under check.
class CreditCheck {
 public:
  CreditCheck(Session& session, std::string_view line, long lineNo, std::string_view product);

  Session& session;
  const std::string_view line;
  const long lineNo;
  const std::string_view product;

  std::string_view field(Columns c) const { return cut(line, c.first, c.last); }
  std::string_view column(std::size_t col) const { return cut(line, col, col); }
  bool columnIs(std::size_t col, std::string_view value) const { return column(col) == value; }
  bool productIsOneOf(std::span<const std::string_view> products) const;
  bool productIsOneOf(std::initializer_list<std::string_view> products) const;

  void reportCreditError(Columns c, const Message& message, std::string_view fieldName);
  void reportAccountFault(Columns c, const Message& message, std::string_view fieldName);
  void report(Report kind, Columns c, const Message& message, std::string_view fieldName);

 private:
  // The message's text, with the product named where it does; valid until the next call.
  std::string_view text(const Message& message);
  // Identity columns: under the cheque products both stay empty, otherwise the trimmed account.
  std::string_view account_;
  std::string textBuffer_;
};

// A field rule as the bank's rule tables state it: the rule applies when `when` holds (always
// when null), and reports unless `accepts` takes the field's text.
struct FieldRule {
  Columns columns;
  std::string_view fieldName;
  bool (*when)(const CreditCheck&);
  bool (*accepts)(std::string_view field);
  Message message;
  Report report = Report::CreditError;
};

// Runs the rules in order; every rule runs whatever the earlier ones found.
void applyRules(CreditCheck& check, std::span<const FieldRule> rules);

// Predicates shared by the tables.
bool notBlank(std::string_view field);
bool yesOrNo(std::string_view field);
// A number that is exactly N characters long after trimming.
template <std::size_t N>
bool numberOfLength(std::string_view field) {
  return isNumber(field) && trim(field).size() == N;
}

// The rule groups, in the order the check runs them.
void checkCoreFields(CreditCheck& check);   // sequence number, amount, currency, reference
void checkAdviceFlags(CreditCheck& check);  // WHT, invoice and credit-advice flags
void checkDeliveryMode(CreditCheck& check);
void checkPickupLocation(CreditCheck& check);
void checkWhtAndInvoiceSummary(CreditCheck& check);
void checkBeneficiaryNotification(CreditCheck& check);
void checkProductBankFields(CreditCheck& check);  // clearing, BahtNet and cheque fields
void checkCreditAccount(CreditCheck& check);
void checkHomeBankPlacement(CreditCheck& check);  // who must, and who must not, be the home bank

}  // namespace credit
}  // namespace bs
