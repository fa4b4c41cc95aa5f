#include "rules/records/payee_rules.h"

#include <string>

#include "core/credit_context.h"
#include "core/error_list.h"
#include "core/field_checks.h"
#include "core/session.h"
#include "core/text_lines.h"
#include "rules/products.h"

namespace bs {

namespace {

// What a check sees: the line, the product of its debit and the flags of its credit.
struct PayeeLine {
  std::string_view line;
  std::string_view product;
  const BatchState& state;

  std::string_view field(std::size_t first, std::size_t last) const {
    return cut(line, first, last);
  }
  std::string_view trimmed(std::size_t first, std::size_t last) const {
    return trim(field(first, last));
  }
};

// Who an error row names.  Most rows follow the product (a cheque's payee by name, any other
// payment by the credit account); the ID-card rows always name the account.
enum class Party { ByProduct, Account };

struct PayeeCheck {
  std::string_view fieldName;
  std::string_view column;
  bool (*appliesTo)(const PayeeLine&);
  bool (*passes)(const PayeeLine&);
  std::string_view message;
  Party party;
};

constexpr std::string_view kThaiNameMessage =
    "This field should not Name Thai should not ~ ! @ # $ % ^  _ * + = { }[ ] | \\ ; \" \"< > ?";
constexpr std::string_view kEnglishNameMessage =
    "This field should not Name English should not ~ ! @ # $ % ^  _ * + = { }[ ] | \\ ; \" \"< > "
    "?";
constexpr std::string_view kIdCardMessageA =
    "This field Tax ID = space ,This field should be ID Card = 13 digit   ";
constexpr std::string_view kIdCardMessageB =
    "This field Tax ID = space ,This field should be ID Card = 13 digit  ";

bool always(const PayeeLine&) {
  return true;
}

// The payee names are checked for the cheque products and the express cheques, whose names are
// printed on the cheque.
bool printsNames(const PayeeLine& p) {
  return isChequeProduct(p.product) || isExpressChequeProduct(p.product);
}

bool faxRequired(const PayeeLine& p) {
  return p.state.faxRequired;
}
bool whtPresent(const PayeeLine& p) {
  return p.state.whtPresent;
}

// With withholding tax and no Tax ID, the ID card stands in for it.
bool idCardStandsForTaxId(const PayeeLine& p) {
  return p.state.whtPresent && p.trimmed(343, 352).empty() && !p.trimmed(18, 32).empty();
}

constexpr PayeeCheck kPayeeChecks[] = {
    {"Credit Sequence Number", "12-17", always,
     [](const PayeeLine& p) { return isNumber(p.field(12, 17)) && p.trimmed(12, 17).size() == 6; },
     "This field should be number 6 digits", Party::ByProduct},
    {"Internal Reference", "4-11", always,
     [](const PayeeLine& p) { return !p.trimmed(4, 11).empty(); }, "This field should not be space",
     Party::ByProduct},
    {"Payee1 Name(Thai)", "33-132", printsNames,
     [](const PayeeLine& p) { return isNameTextClean(p.field(33, 132), 100); }, kThaiNameMessage,
     Party::ByProduct},
    {"Payee2 Name(Thai)", "507-606", printsNames,
     [](const PayeeLine& p) { return isNameTextClean(p.field(507, 606), 100); },
     kEnglishNameMessage, Party::ByProduct},
    {"Payee1 Name(English)", "353-422", printsNames,
     [](const PayeeLine& p) { return isNameTextClean(p.field(353, 422), 70); }, kEnglishNameMessage,
     Party::ByProduct},
    {"Payee 1 Fax Number", "423-432", faxRequired,
     [](const PayeeLine& p) { return !p.trimmed(423, 432).empty(); },
     "This field should  be Payee1 Fax Number", Party::ByProduct},
    {"Payee 1 Fax Number", "423-432", faxRequired,
     [](const PayeeLine& p) { return isNumber(p.trimmed(423, 432)); },
     "This field should be number ", Party::ByProduct},
    {"Payee1 Tax ID", "343-352", whtPresent,
     [](const PayeeLine& p) { return !p.trimmed(343, 352).empty() || !p.trimmed(18, 32).empty(); },
     "This field should  be Payee1 Tax ID", Party::ByProduct},
    {"Payee1 ID Card", "18-32", idCardStandsForTaxId,
     [](const PayeeLine& p) { return p.trimmed(18, 32).size() >= 10; }, kIdCardMessageA,
     Party::Account},
    {"Payee1 ID Card", "18-32", idCardStandsForTaxId,
     [](const PayeeLine& p) {
       std::size_t n = p.trimmed(18, 32).size();
       return n != 11 && n != 12;
     },
     kIdCardMessageB, Party::Account},
};

}  // namespace

void checkPayeeRecord(Session& session, std::string_view line, long lineNo,
                      std::string_view product) {
  const PayeeLine payee{line, product, session.state};

  // The names go into the context first, so that they are there even when this line has faults.
  std::string_view nameTh = payee.trimmed(33, 132);
  std::string_view nameEn = payee.trimmed(353, 422);
  if (nameEn.empty()) nameEn = nameTh;
  session.creditContext->writeNames(nameEn, nameTh);
  // The rows name the payee as the context holds it, read back after the write.
  const CreditContext context = session.creditContext->read();
  const bool cheque = isChequeProduct(product);

  for (const PayeeCheck& check : kPayeeChecks) {
    if (!check.appliesTo(payee) || check.passes(payee)) continue;
    const bool byName = check.party == Party::ByProduct && cheque;
    reportFaultWithParty(session, "004", lineNo, check.column, check.fieldName, check.message,
                         byName ? std::string_view{} : std::string_view(context.account),
                         byName ? std::string_view(context.beneNameEn) : std::string_view{});
  }
}

}  // namespace bs
