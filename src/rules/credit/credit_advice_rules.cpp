// Advice flags, delivery mode, pickup location and beneficiary notification of a credit.

#include <algorithm>
#include <array>
#include <span>

#include "core/session.h"
#include "rules/credit/credit_check.h"

namespace bs::credit {

namespace {

constexpr std::size_t kWhtPresent = 62;
constexpr std::size_t kInvoiceDetailsPresent = 63;
constexpr std::size_t kCreditAdviceRequired = 64;
constexpr Columns kDeliveryMode{65, 65};
constexpr Columns kPickupLocation{66, 69};
constexpr Columns kNotification{259, 259};

constexpr std::array<FieldRule, 1> kWhtFlagRules{{
    {{kWhtPresent, kWhtPresent}, "WHT Present", nullptr, yesOrNo, {"This field should be Y or N"}},
}};
constexpr std::array<FieldRule, 2> kOtherFlagRules{{
    {{kInvoiceDetailsPresent, kInvoiceDetailsPresent},
     "Invoice Details Present",
     nullptr,
     yesOrNo,
     {"This field should be Y or N"}},
    {{kCreditAdviceRequired, kCreditAdviceRequired},
     "Credit Advice Required",
     nullptr,
     yesOrNo,
     {"This field should be Y or N"}},
}};

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
  std::size_t column;
  std::string_view opening;
};
constexpr std::array<AdviceFlag, 3> kAdviceFlags{{
    {kWhtPresent, "If WHT Present is Y and product code is "},
    {kInvoiceDetailsPresent, "If Invoice Details Present is Y and product code is "},
    {kCreditAdviceRequired, "If Credit Advice Required is Y and product code is "},
}};

// Branches where a beneficiary may collect a cheque or advice (Delivery Mode "C").
constexpr std::array<std::string_view, 73> kPickupLocationCodes{
    "C001", "C002", "C003", "C004", "C005", "C006", "C007", "C008", "C009", "C010", "C011",
    "C012", "0032", "0034", "0077", "0101", "0106", "0274", "0314", "0355", "0356", "0501",
    "0502", "0503", "0507", "0510", "0511", "0512", "0513", "0523", "0527", "0530", "0533",
    "0537", "0552", "0560", "0569", "0572", "0578", "0579", "0582", "0584", "0585", "0587",
    "0590", "0613", "0633", "0634", "0640", "0647", "0666", "0669", "0681", "0683", "0687",
    "0702", "0713", "0719", "0729", "0730", "0751", "0762", "0766", "0788", "0799", "0806",
    "0870", "0886", "0931", "0945", "0949", "5051", "5108"};

bool isPickupLocation(std::string_view field) {
  return std::find(kPickupLocationCodes.begin(), kPickupLocationCodes.end(), field) !=
         kPickupLocationCodes.end();
}
bool deliveryModeIsC(const CreditCheck& c) {
  return c.field(kDeliveryMode) == "C";
}

constexpr std::array<FieldRule, 1> kPickupRules{{
    {kPickupLocation,
     "Pickup Location",
     deliveryModeIsC,
     isPickupLocation,
     {"Invalid Pickup Location"}},
}};

bool isNotificationCode(std::string_view field) {
  return field == "N" || field == "F" || field == "S" || field == "E";
}

}  // namespace

void checkAdviceFlags(CreditCheck& check) {
  bool& whtPresent = check.session.state.whtPresent;
  whtPresent = false;
  applyRules(check, kWhtFlagRules);
  if (check.columnIs(kWhtPresent, "Y")) whtPresent = true;
  applyRules(check, kOtherFlagRules);
}

void checkDeliveryMode(CreditCheck& check) {
  const bool anyAdvice =
      std::any_of(kAdviceFlags.begin(), kAdviceFlags.end(),
                  [&](const AdviceFlag& f) { return check.columnIs(f.column, "Y"); });
  if (!anyAdvice) return;
  for (const DeliveryModeList& list : kDeliveryModeLists) {
    if (!check.productIsOneOf(list.products)) continue;
    const std::string_view mode = check.field(kDeliveryMode);
    if (std::find(list.modes.begin(), list.modes.end(), mode) != list.modes.end()) return;
    for (const AdviceFlag& flag : kAdviceFlags) {
      if (check.columnIs(flag.column, "Y")) {
        check.reportCreditError(kDeliveryMode, withProduct(flag.opening, list.ending),
                                "Delivery Mode");
      }
    }
    return;
  }
}

void checkPickupLocation(CreditCheck& check) {
  applyRules(check, kPickupRules);
}

void checkBeneficiaryNotification(CreditCheck& check) {
  bool& faxRequired = check.session.state.faxRequired;
  faxRequired = false;
  const std::string_view code = check.field(kNotification);
  if (!notBlank(code)) return;
  if (!isNotificationCode(code)) {
    check.reportCreditError(kNotification, {"If this field have value it should be N,F,S or E"},
                            "Beneficiary Notification");
  }
  // The payee record of this credit must then carry a fax number.
  if (code == "F") faxRequired = true;
}

}  // namespace bs::credit
