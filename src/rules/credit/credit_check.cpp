#include "rules/credit/credit_check.h"

#include <algorithm>
#include <charconv>

#include "core/error_list.h"
#include "core/session.h"
#include "rules/credit/credit_rules.h"
#include "rules/products.h"

namespace bs {
namespace credit {

namespace {
constexpr std::string_view kRecordType = "003";
constexpr Columns kAccount{10, 34};
}  // namespace

CreditCheck::CreditCheck(Session& s, std::string_view l, long n, std::string_view p)
    : session(s), line(l), lineNo(n), product(p) {
  if (!isChequeProduct(product)) account_ = trim(field(kAccount));
}

bool CreditCheck::productIsOneOf(std::span<const std::string_view> products) const {
  return std::find(products.begin(), products.end(), product) != products.end();
}

bool CreditCheck::productIsOneOf(std::initializer_list<std::string_view> products) const {
  return productIsOneOf(std::span<const std::string_view>(products.begin(), products.size()));
}

std::string_view CreditCheck::text(const Message& message) {
  if (!message.namesProduct) return message.text;
  textBuffer_.assign(message.text);
  textBuffer_ += product;
  textBuffer_ += message.ending;
  return textBuffer_;
}

namespace {

// "first-last" of a field's columns, in a buffer of the caller's.
struct ColumnText {
  char bytes[24];
  std::size_t size = 0;
  explicit ColumnText(Columns c) {
    char* end = std::to_chars(bytes, bytes + 10, c.first).ptr;
    *end++ = '-';
    end = std::to_chars(end, bytes + sizeof bytes, c.last).ptr;
    size = static_cast<std::size_t>(end - bytes);
  }
  std::string_view view() const { return {bytes, size}; }
};

}  // namespace

void CreditCheck::reportCreditError(Columns c, const Message& message, std::string_view fieldName) {
  reportFaultWithParty(session, kRecordType, lineNo, ColumnText(c).view(), fieldName, text(message),
                       account_, "");
}

void CreditCheck::reportAccountFault(Columns c, const Message& message,
                                     std::string_view fieldName) {
  // A failed home-bank account is counted so the run can ask whether to ignore such accounts;
  // on a credit it still makes the batch invalid, but the status line is left alone.
  session.state.batchValid = false;
  addErrorWithParty(session.form, kRecordType, std::to_string(lineNo), ColumnText(c).view(),
                    fieldName, text(message), account_, "");
  ++session.state.invalidAccountCount;
}

void CreditCheck::report(Report kind, Columns c, const Message& message,
                         std::string_view fieldName) {
  if (kind == Report::AccountFault) {
    reportAccountFault(c, message, fieldName);
  } else {
    reportCreditError(c, message, fieldName);
  }
}

void applyRules(CreditCheck& check, std::span<const FieldRule> rules) {
  for (const FieldRule& rule : rules) {
    if (rule.when != nullptr && !rule.when(check)) continue;
    if (!rule.accepts(check.field(rule.columns))) {
      check.report(rule.report, rule.columns, rule.message, rule.fieldName);
    }
  }
}

bool notBlank(std::string_view field) {
  return !trim(field).empty();
}
bool yesOrNo(std::string_view field) {
  return field == "Y" || field == "N";
}

}  // namespace credit

void checkCreditRecord(Session& session, std::string_view line, long lineNo,
                       std::string_view product) {
  using namespace credit;
  // The context is replaced first, also when the account is blank or wrong, so that the detail
  // records of this credit never meet an earlier credit's account.
  session.creditContext->reset(trim(cut(line, kAccount.first, kAccount.last)));

  CreditCheck check(session, line, lineNo, product);
  checkCoreFields(check);
  checkAdviceFlags(check);
  checkDeliveryMode(check);
  checkPickupLocation(check);
  checkWhtAndInvoiceSummary(check);
  checkBeneficiaryNotification(check);
  checkProductBankFields(check);
  checkCreditAccount(check);
  checkHomeBankPlacement(check);
}

}  // namespace bs
