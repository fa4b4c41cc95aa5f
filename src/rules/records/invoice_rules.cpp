#include "rules/records/invoice_rules.h"

#include "core/credit_context.h"
#include "core/error_list.h"
#include "core/field_checks.h"
#include "core/session.h"
#include "core/text_lines.h"
#include "rules/products.h"

namespace bs {

namespace {

struct InvoiceLine {
  std::string_view line;

  std::string_view field(std::size_t first, std::size_t last) const {
    return cut(line, first, last);
  }
  std::string_view trimmed(std::size_t first, std::size_t last) const {
    return trim(field(first, last));
  }
  // A 16-digit amount field that is complete and numeric, so its last digit can be judged.
  bool isWholeNumber16(std::size_t first, std::size_t last) const {
    return trimmed(first, last).size() == 16 && isNumber(field(first, last));
  }
};

// Who an error row names: both the account and the payee, or (for the Print Language) the one
// that suits the product.
enum class Party { Both, ByProduct };

struct InvoiceCheck {
  std::string_view fieldName;
  std::string_view column;
  bool (*appliesTo)(const InvoiceLine&);
  bool (*passes)(const InvoiceLine&);
  std::string_view message;
  Party party = Party::Both;
};

bool always(const InvoiceLine&) {
  return true;
}

bool digitsOfLength(std::string_view field, std::size_t length) {
  return isNumber(field) && trim(field).size() == length;
}

// The zero test of the Invoice Amount is made only on a numeric field.
bool invoiceAmountIsNumber(const InvoiceLine& i) {
  return isNumber(i.field(39, 54));
}

constexpr InvoiceCheck kInvoiceChecks[] = {
    {"Credit Sequence No.", "12-17", always,
     [](const InvoiceLine& i) { return digitsOfLength(i.field(12, 17), 6); },
     "This field should be number 6 digits"},
    {"Internal Reference", "4-11", always,
     [](const InvoiceLine& i) { return !i.trimmed(4, 11).empty(); },
     "This field should not be space"},
    {"Invoice Sequence No.", "18-23", always,
     [](const InvoiceLine& i) { return digitsOfLength(i.field(18, 23), 6); },
     "This field should be number 6 digits"},
    {"Invoice Number", "24-38", always,
     [](const InvoiceLine& i) { return !i.trimmed(24, 38).empty(); },
     "This field should not be space"},
    {"Invoice Date", "55-62", always,
     [](const InvoiceLine& i) {
       return isValidDate(i.field(55, 58), i.field(59, 60), i.field(61, 62));
     },
     "Invalid invoice date"},
    {"Invoice Amount", "39-54", always, invoiceAmountIsNumber, "This field should be number"},
    {"Invoice Amount", "39-54", invoiceAmountIsNumber,
     [](const InvoiceLine& i) { return isAmount16(i.field(39, 54)); },
     "This field should  not equal zero"},
    {"Invoice Amount", "39-54", always,
     [](const InvoiceLine& i) { return i.trimmed(39, 54).size() == 16; },
     "This field should have 16 digits"},
    {"Invoice Amount", "39-54", always,
     [](const InvoiceLine& i) { return !i.isWholeNumber16(39, 54) || i.field(54, 54) == "0"; },
     "Amount should have two digits after decimal"},
    {"VAT Amount", "148-163", always,
     [](const InvoiceLine& i) { return isNumber(i.field(148, 163)); },
     "This field should be number"},
    {"VAT Amount", "148-163", always,
     [](const InvoiceLine& i) { return i.trimmed(148, 163).size() == 16; },
     "This field should have 16 digits"},
    {"VAT Amount", "148-163", always,
     [](const InvoiceLine& i) { return !i.isWholeNumber16(148, 163) || i.field(163, 163) == "0"; },
     "Amount should have two digits after decimal"},
    {"Payee Charge Amount", "164-179", always,
     [](const InvoiceLine& i) { return isNumber(i.field(164, 179)); },
     "This field should be number"},
    {"Payee Charge Amount", "164-179", always,
     [](const InvoiceLine& i) { return i.trimmed(164, 179).size() == 16; },
     "This field should have 16 digits"},
    {"Payee Charge Amount", "164-179", always,
     [](const InvoiceLine& i) { return !i.isWholeNumber16(164, 179) || i.field(179, 179) == "0"; },
     "Amount should have two digits after decimal"},
    {"WHT Amount", "180-195", always,
     [](const InvoiceLine& i) { return isNumber(i.field(180, 195)); },
     "This field should be number"},
    {"WHT Amount", "180-195", always,
     [](const InvoiceLine& i) { return i.trimmed(180, 195).size() == 16; },
     "This field should have 16 digits"},
    {"WHT Amount", "180-195", always,
     [](const InvoiceLine& i) { return !i.isWholeNumber16(180, 195) || i.field(195, 195) == "0"; },
     "Amount should have two digits after decimal"},
    {"Print Language", "196-196", always,
     [](const InvoiceLine& i) {
       std::string_view language = i.trimmed(196, 196);
       return language == "T" || language == "E";
     },
     "This field should be T or E", Party::ByProduct},
};

}  // namespace

void checkInvoiceRecord(Session& session, std::string_view line, long lineNo,
                        std::string_view product) {
  const CreditContext context = session.creditContext->read();
  const bool cheque = isChequeProduct(product);
  const InvoiceLine invoice{line};

  for (const InvoiceCheck& check : kInvoiceChecks) {
    if (!check.appliesTo(invoice) || check.passes(invoice)) continue;
    const bool both = check.party == Party::Both;
    std::string_view account = both || !cheque ? std::string_view(context.account) : "";
    std::string_view payeeName = both || cheque ? std::string_view(context.beneNameEn) : "";
    reportFaultWithParty(session, "006", lineNo, check.column, check.fieldName, check.message,
                         account, payeeName);
  }
}

}  // namespace bs
