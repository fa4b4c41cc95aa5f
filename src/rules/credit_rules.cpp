// The credit line ("003"), checked against the rules of the product of the debit line above it.
// Starts the current-credit context with the credit's account, reports every fault and leaves in
// the batch state what the driver and the detail lines of this credit need.  Its rows carry the
// trimmed credit account, except under the cheque products, where both identity cells stay
// empty.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "rules/products.h"
#include "rules/record_check.h"
#include "rules/record_fields.h"
#include "rules/record_rules.h"

namespace bs {

namespace {

using namespace check;
namespace f = fields::credit;

template <std::size_t N>
bool isIn(const std::array<std::string_view, N>& codes, std::string_view code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}
bool productIs(const RecordLine& l, std::initializer_list<std::string_view> products) {
  return std::find(products.begin(), products.end(), l.product) != products.end();
}

// ---- Sequence number, amount, currency, reference and the advice flags.

// Media clearing to other banks is capped at 2,000,000 baht a credit; 2,000,000.00 itself passes.
constexpr long double kClearingLimitBaht = 2000000;

// clang-format off
constexpr Rule kSequenceRules[] = {
    {f::sequence, nullptr, numberOf<6>, "This field should be number 6 digits"},
};
constexpr Rule kReferenceAndFlagRules[] = {
    {f::currency, nullptr, thb, "Currency should be THB"},
    {f::internalReference, nullptr, notBlank, "This field should not be space"},
    {f::whtPresent, nullptr, yesOrNo, "This field should be Y or N"},
    {f::invoicesPresent, nullptr, yesOrNo, "This field should be Y or N"},
    {f::adviceRequired, nullptr, yesOrNo, "This field should be Y or N"},
};
// clang-format on

void checkAmount(RecordCheck& c) {
  if (!c.amountIs16DigitNumber(f::amount)) return;
  std::string_view amount = c.line.field(f::amount);
  // Unguarded: a body that starts with the exponent letter passes the number test but ends the
  // command here.
  const long double value = toFloat(amount);
  const bool endsInZero = cut(c.line.text, 50, 50) == "0";
  if (endsInZero && (value == 0 || cut(c.line.text, 35, 35) == "-")) {
    c.report(f::amount, "Amount should be more than zero,Acc_No");
  }
  // The sum takes every amount that is a 16-character number, faulty ones included; the driver
  // compares it with the debit amount.
  c.context.state.creditAmountSum += static_cast<double>(value);

  if (c.line.product == "MCL" && c.line.field(f::receivingBank) != homeBankCode) {
    // The limit reads the amount as baht: whole part, a point, the three decimals.  An amount
    // with its own point or exponent makes a text that does not convert, which ends the command.
    std::string baht(cut(c.line.text, 35, 47));
    baht += '.';
    baht += cut(c.line.text, 48, 50);
    if (toFloat(baht) > kClearingLimitBaht) c.report(f::amount, "Amount have not over 2,000,000 ");
  }
  if (!endsInZero) c.report(f::amount, "Amount should have two digits after decimal");
}

// ---- Delivery mode and pickup location.

// The delivery modes a product accepts when any advice goes with the payment.
constexpr std::array<std::string_view, 5> kChequeList{"MCP", "DDP", "CCP", "XDQ", "XMQ"};
constexpr std::array<std::string_view, 3> kChequeModes{"M", "C", "P"};
constexpr std::array<std::string_view, 9> kTransferList{"DCP", "PAY", "PA2", "PA3", "PA4",
                                                        "PA5", "PA6", "MCL", "BNT"};
constexpr std::array<std::string_view, 4> kTransferModes{"M", "C", "P", "S"};

struct DeliveryModeList {
  std::span<const std::string_view> products;
  std::span<const std::string_view> modes;
  std::string_view ending;
};
constexpr std::array<DeliveryModeList, 2> kDeliveryModeLists{{
    {kChequeList, kChequeModes, " This field should be M,C or P"},
    {kTransferList, kTransferModes, " This field should be M,C,P or S"},
}};

// One row per advice flag that is "Y", in this order.
struct AdviceFlag {
  const FieldSpec& flag;
  std::string_view opening;
};
constexpr std::array<AdviceFlag, 3> kAdviceFlags{{
    {f::whtPresent, "If WHT Present is Y and product code is "},
    {f::invoicesPresent, "If Invoice Details Present is Y and product code is "},
    {f::adviceRequired, "If Credit Advice Required is Y and product code is "},
}};

void checkDeliveryMode(RecordCheck& c) {
  auto flagged = [&](const AdviceFlag& a) { return c.line.is(a.flag, "Y"); };
  if (std::none_of(kAdviceFlags.begin(), kAdviceFlags.end(), flagged)) return;
  for (const DeliveryModeList& list : kDeliveryModeLists) {
    if (std::find(list.products.begin(), list.products.end(), c.line.product) ==
        list.products.end())
      continue;
    const std::string_view mode = c.line.field(f::deliveryMode);
    if (std::find(list.modes.begin(), list.modes.end(), mode) != list.modes.end()) return;
    for (const AdviceFlag& flag : kAdviceFlags) {
      if (flagged(flag)) c.report(f::deliveryMode, withProduct(flag.opening, list.ending));
    }
    return;
  }
}

// Branches where a beneficiary may collect a cheque or advice (Delivery Mode "C").
constexpr std::array<std::string_view, 73> kPickupLocationCodes{
    "C001", "C002", "C003", "C004", "C005", "C006", "C007", "C008", "C009", "C010", "C011",
    "C012", "0032", "0034", "0077", "0101", "0106", "0274", "0314", "0355", "0356", "0501",
    "0502", "0503", "0507", "0510", "0511", "0512", "0513", "0523", "0527", "0530", "0533",
    "0537", "0552", "0560", "0569", "0572", "0578", "0579", "0582", "0584", "0585", "0587",
    "0590", "0613", "0633", "0634", "0640", "0647", "0666", "0669", "0681", "0683", "0687",
    "0702", "0713", "0719", "0729", "0730", "0751", "0762", "0766", "0788", "0799", "0806",
    "0870", "0886", "0931", "0945", "0949", "5051", "5108"};

bool isPickupLocation(std::string_view field, const RecordLine&) {
  return isIn(kPickupLocationCodes, field);
}
bool deliveryModeIsC(const RecordLine& l) {
  return l.is(f::deliveryMode, "C");
}

constexpr Rule kPickupRules[] = {
    {f::pickupLocation, deliveryModeIsC, isPickupLocation, "Invalid Pickup Location"},
};

// ---- Withholding-tax and invoice summary: the totals and counts the detail lines must match,
// and the particulars of the tax certificate.

bool whtPresent(const RecordLine& l) {
  return l.is(f::whtPresent, "Y");
}
bool invoicesPresent(const RecordLine& l) {
  return l.is(f::invoicesPresent, "Y");
}
// The certificate particulars matter only for a credit that declares tax above zero.  The value
// is converted unguarded: a total that starts with the exponent letter ends the command.
bool whtDeclared(const RecordLine& l) {
  std::string_view total = l.field(f::whtTotal);
  return whtPresent(l) && isNumber(total) && toFloat(total) > 0;
}
bool payTypeIsOther(const RecordLine& l) {
  return l.is(f::whtPayType, "4");
}
bool isWhtFormType(std::string_view v, const RecordLine&) {
  return v == "01" || v == "02" || v == "03" || v == "53";
}
bool isWhtPayType(std::string_view v, const RecordLine&) {
  return v == "1" || v == "2" || v == "3" || v == "4";
}
bool isWhtSignatory(std::string_view v, const RecordLine&) {
  return v == "B" || v == "C";
}
// Year (4), month (2), day (2).
bool isDeductDate(std::string_view v, const RecordLine&) {
  return isValidDate(cut(v, 1, 4), cut(v, 5, 6), cut(v, 7, 8));
}
bool notificationGiven(const RecordLine& l) {
  return !l.trimmed(f::notification).empty();
}
bool isNotificationCode(std::string_view v, const RecordLine&) {
  return v == "N" || v == "F" || v == "S" || v == "E";
}

// clang-format off
constexpr Rule kWhtAndInvoiceCountRules[] = {
    {f::whtFormType, whtDeclared, isWhtFormType, "This field should be 01,02,03 or 53"},
    {f::whtAttachNo, whtDeclared, numberOf<6>, "This field should be number 6 digits"},
    {f::whtCount, whtDeclared, numberOf<2>, "This field should be number 2 digits"},
    {f::invoiceCount, invoicesPresent, numberOf<6>, "This field should be number 6 digits"},
};
constexpr Rule kCertificateAndNotificationRules[] = {
    {f::whtPayType, whtPresent, isWhtPayType, "If the record have WHT this field should be 1,2,3 or 4"},
    {f::whtDeductDate, whtPresent, isDeductDate, "Invalid WHT Deduct Date"},
    {f::whtSignatory, whtPresent, isWhtSignatory, "If the record have WHT this field should be B or C"},
    // Pay type 4 ("other") needs its remark whether or not the credit declares tax.
    {f::whtRemark, payTypeIsOther, notBlank, "It WHT Pay Type is 4 this field should not be space"},
    {f::notification, notificationGiven, isNotificationCode, "If this field have value it should be N,F,S or E"},
};
// clang-format on

void checkWhtTotal(RecordCheck& c) {
  std::string_view total = c.line.field(f::whtTotal);
  const bool number = isNumber(total);
  if (whtPresent(c.line) && !number) c.report(f::whtTotal, "This field should be number");
  // Every credit carries a 16-character total, with or without tax.
  if (trim(total).size() != 16) {
    c.report(f::whtTotal, "This field should have 16 digits");
    return;
  }
  if (!number) return;
  if (cut(c.line.text, 109, 109) == "0") {
    // The total and its line are kept together, for the driver's comparison with the details.
    c.context.state.creditWhtTotal = static_cast<double>(toFloat(total));
    c.context.state.creditLine = c.lineNo;
  } else {
    c.report(f::whtTotal, "Amount should have two digits after decimal");
  }
}

void checkInvoiceTotal(RecordCheck& c) {
  std::string_view total = c.line.field(f::invoiceTotal);
  const bool number = isNumber(total);
  const bool sixteen = trim(total).size() == 16;
  const bool endsInZero = cut(c.line.text, 131, 131) == "0";
  const std::string_view flag = c.line.field(f::invoicesPresent);
  if (flag == "Y" && !number) c.report(f::invoiceTotal, "This field should be number");
  if (flag == "Y" || flag == "N") {
    if (!sixteen) {
      c.report(f::invoiceTotal, "This field should have 16 digits");
    } else if (flag == "Y" && number && endsInZero && !isAmount16(total)) {
      c.report(f::invoiceTotal, "This field should not equal 0");
    }
  }
  if (sixteen && number && !endsInZero)
    c.report(f::invoiceTotal, "Amount should have two digits after decimal");
}

// The count texts are kept as they stand whenever they are numbers; the driver converts them.
void keepCountText(const RecordLine& l, const FieldSpec& count, std::string& into) {
  std::string_view text = l.field(count);
  if (isNumber(text)) into = text;
}

// ---- Receiving bank and the fields of each product: media clearing, BahtNet, cheques; then
// the credit account, and which products must, or must not, go to the home bank.

bool mediaClearing(const RecordLine& l) {
  return isMediaClearingProduct(l.product);
}
bool productIsMcl(const RecordLine& l) {
  return l.product == "MCL";
}
bool bahtNet(const RecordLine& l) {
  return l.product == "BNT";
}
bool cheque(const RecordLine& l) {
  return isChequeProduct(l.product) || isExpressChequeProduct(l.product);
}
bool homeTransfer(const RecordLine& l) {
  return productIs(l, {"DCP", "PAY", "PA2", "PA3"});
}
bool anyBank(const RecordLine& l) {
  return productIs(l, {"DDR", "MCL", "PA4", "PA5", "PA6", "BNT"});
}
// Products that may credit any bank: the check digit applies when the bank is the home bank.
bool anyBankToHomeBank(const RecordLine& l) {
  return anyBank(l) && l.field(f::receivingBank) == homeBankCode;
}
bool accountOfNumbersOnly(const RecordLine& l) {
  return homeTransfer(l) || anyBank(l);
}
bool clearingPayroll(const RecordLine& l) {
  return productIs(l, {"PA4", "PA5", "PA6"});
}

// Media clearing ("08" is accepted although the message names 01-07).
constexpr std::array<std::string_view, 9> kClearingServicesTypes{"01", "02", "03", "04", "05",
                                                                 "06", "07", "08", "59"};
bool isClearingServicesType(std::string_view v, const RecordLine&) {
  return isIn(kClearingServicesTypes, v);
}
constexpr std::array<std::string_view, 14> kPaymentTypeCodes{"CSH", "BCQ", "HCQ", "DCA", "DSA",
                                                             "BCA", "BSA", "FCA", "FSA", "SPD",
                                                             "SPC", "UST", "OFA", "FWD"};
bool isPaymentTypeCode(std::string_view v, const RecordLine&) {
  return isIn(kPaymentTypeCodes, v);
}
// Service hours 00 to 23.  The conversion is unguarded: a number that is not an integer ("1.")
// ends the command.
bool isBahtNetServicesType(std::string_view v, const RecordLine&) {
  if (!isNumber(v)) return false;
  const std::int32_t hour = toInteger(v);
  return hour >= 0 && hour <= 23;
}
// Cheques, express cheques included ("S" is accepted although the message names A-R).
bool isChequeDocumentType(std::string_view v, const RecordLine&) {
  if (v.size() != 1) return false;
  const char c = v[0];
  return (c >= '1' && c <= '9') || (c >= 'A' && c <= 'S');
}
bool isHomeBank(std::string_view v, const RecordLine&) {
  return v == homeBankCode;
}
bool isNotHomeBank(std::string_view v, const RecordLine&) {
  return v != homeBankCode;
}

constexpr Message kProductNumber =
    withProduct("If product code is ", " this field should be number");
constexpr Message kProductNotSpace =
    withProduct("If product code is ", " this field should not be space");
constexpr Report kAccountFault = Report::CreditAccountFault;
constexpr RuleField kPlacedBank{"Receiving Bank code", f::receivingBank};

// clang-format off
constexpr Rule kBankAndAccountRules[] = {
    {f::receivingBank, mediaClearing, numberOf<3>, "If product code is MCL,PA4,PA5,PA6 this field should be number and length equal 4 digits"},
    {f::receivingBankName, mediaClearing, notBlank, "If product code is MCL,PA4,PA5,PA6 this field should not be space"},
    {f::receivingBranch, mediaClearing, numberOf<4>, "If product code is MCL,PA4,PA5,PA6 this field should be number  and length equal 4 digits"},
    {f::servicesType, productIsMcl, isClearingServicesType, "If product code is MCL,PA4,PA5,PA6 this field should be 01-07 or 59"},
    {f::receivingBank, bahtNet, number, "If product code is BNT this field should be number"},
    {f::receivingBankName, bahtNet, notBlank, "If product code is BNT this field should not be space"},
    {f::receivingBranch, bahtNet, number, "If product code is BNT this field should be number"},
    {f::paymentTypeCode, bahtNet, isPaymentTypeCode, "If product code is BNT this field should be in code"},
    {f::servicesType, bahtNet, isBahtNetServicesType, "If product code is BNT this field should be 00-23"},
    {f::receivingBranch, cheque, number, kProductNumber},
    {f::chequeReference, cheque, notBlank, kProductNotSpace},
    {f::chequeDocumentType, cheque, notBlank, kProductNotSpace},
    {f::chequeDocumentType, cheque, isChequeDocumentType, withProduct("If product code is ", " this field should be 1-9 and A-R")},
    {f::receivingBank, cheque, isHomeBank, "If product code is MCP,DDP,CCP,XMQ,XDQ this field should be 014"},
    {f::account, homeTransfer, homeAccount, "Invalid ZNB Account", kAccountFault},
    {f::receivingBank, homeTransfer, isHomeBank, "If product code is DCP,PAY,PA2,PA3 this field should be 014", kAccountFault},
    {f::account, anyBankToHomeBank, homeAccount, "Invalid ZNB Account", kAccountFault},
    {f::account, accountOfNumbersOnly, trimmedNumber, kProductNumber},
    // Payroll through clearing goes to other banks; home-bank transfers stay at the home bank.
    {kPlacedBank, clearingPayroll, isNotHomeBank, "This field should not be 014"},
    {kPlacedBank, homeTransfer, isHomeBank, "This field should  be 014"},
};
// clang-format on

}  // namespace

const std::span<const Rule> tables::creditSequence = kSequenceRules;
const std::span<const Rule> tables::creditReferenceAndFlags = kReferenceAndFlagRules;
const std::span<const Rule> tables::creditPickup = kPickupRules;
const std::span<const Rule> tables::creditWhtAndInvoiceCounts = kWhtAndInvoiceCountRules;
const std::span<const Rule> tables::creditCertificateAndNotification =
    kCertificateAndNotificationRules;
const std::span<const Rule> tables::creditBankAndAccount = kBankAndAccountRules;

void checkCreditRecord(RuleContext& context, std::string_view line, long lineNo) {
  BatchState& state = context.state;
  RecordCheck check(context, "003", line, lineNo);
  const std::string_view account = check.line.trimmed(f::account);
  // The context is replaced first, also when the account is blank or wrong, so that the detail
  // records of this credit never meet an earlier credit's account.
  context.credit.reset(account);
  if (!check.isCheque()) check.nameInRows(account, {});

  check.run(kSequenceRules);
  checkAmount(check);
  check.run(kReferenceAndFlagRules);
  state.whtPresent = check.line.is(f::whtPresent, "Y");
  checkDeliveryMode(check);
  check.run(kPickupRules);

  checkWhtTotal(check);
  check.run(kWhtAndInvoiceCountRules);
  keepCountText(check.line, f::whtCount, state.creditWhtCountText);
  keepCountText(check.line, f::invoiceCount, state.creditInvoiceCountText);
  checkInvoiceTotal(check);
  check.run(kCertificateAndNotificationRules);
  // The payee line of this credit must then carry a fax number.
  state.faxRequired = check.line.is(f::notification, "F");

  check.run(kBankAndAccountRules);
}

}  // namespace bs
