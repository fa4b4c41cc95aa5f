// Advice flags, delivery mode, pickup location and beneficiary notification.

#include "rules/credit_harness.h"

namespace bs::test {
namespace {

using namespace credit;

struct Case {
  const char* name;
  std::string product;
  Edits edits;
  std::vector<Fault> expected;
};

void runCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    CreditHarness h;
    h.check(c.product, c.edits);
    EXPECT_EQ(h.faults(), c.expected) << c.name;
  }
}

TEST(CreditAdviceFlags, EachFlagIsYOrN) {
  auto flag = [](const char* cols, const char* field) {
    return Fault{cols, field, "This field should be Y or N"};
  };
  runCases({
      {"lower-case y", "PAY", {{whtPresent, "y"}}, {flag("62-62", "WHT Present")}},
      {"blank invoice flag",
       "PAY",
       {{invoicePresent, " "}},
       {flag("63-63", "Invoice Details Present")}},
      {"all three wrong, in order",
       "PAY",
       {{whtPresent, "X"}, {invoicePresent, "1"}, {adviceRequired, "n"}},
       {flag("62-62", "WHT Present"), flag("63-63", "Invoice Details Present"),
        flag("64-64", "Credit Advice Required")}},
  });
}

TEST(CreditAdviceFlags, WhtPresentDescribesTheCreditJustRead) {
  struct FlagCase {
    std::string column62;
    bool whtPresent;
  };
  for (const FlagCase& c : std::vector<FlagCase>{{"Y", true}, {"N", false}, {"y", false}}) {
    CreditHarness h;
    h.state.whtPresent = !c.whtPresent;
    CreditLine line("PAY");
    if (c.column62 == "Y") line.withWht(1, 150000);
    line.set(whtPresent, c.column62);
    h.check(line.str(), "PAY");
    EXPECT_EQ(h.state.whtPresent, c.whtPresent) << c.column62;
  }
}

TEST(CreditDeliveryMode, OneRowPerYesFlagUnderTheProductsList) {
  const std::string chequeEnd = " This field should be M,C or P";
  const std::string transferEnd = " This field should be M,C,P or S";
  auto mode = [](std::string message) { return Fault{"65-65", "Delivery Mode", message}; };
  struct ModeCase {
    const char* name;
    std::string product;
    bool wht, invoices, advice;
    std::string deliveryMode;
    std::vector<Fault> expected;
  };
  // clang-format off
  const std::vector<ModeCase> cases{
      {"all flags N: mode not looked at", "PAY", false, false, false, " ", {}},
      {"MCP with S: three rows", "MCP", true, true, true, "S", {mode("If WHT Present is Y and product code is MCP" + chequeEnd), mode("If Invoice Details Present is Y and product code is MCP" + chequeEnd), mode("If Credit Advice Required is Y and product code is MCP" + chequeEnd)}},
      {"PAY with S passes", "PAY", true, true, true, "S", {}},
      {"DCP invoice flag only, blank mode", "DCP", false, true, false, " ", {mode("If Invoice Details Present is Y and product code is DCP" + transferEnd)}},
      {"XMQ advice flag, mode m", "XMQ", false, false, true, "m", {mode("If Credit Advice Required is Y and product code is XMQ" + chequeEnd)}},
      {"BNT WHT flag, mode P", "BNT", true, false, false, "P", {}},
      {"DDR has no delivery mode rule", "DDR", true, false, true, "X", {}},
      {"unknown product has none either", "ZZZ", false, false, true, "X", {}},
  };
  // clang-format on
  for (const ModeCase& c : cases) {
    CreditLine line(c.product);
    if (c.wht) line.withWht(1, 150000);
    if (c.invoices) line.withInvoices(1, 150000);
    if (c.advice) line.set(adviceRequired, "Y");
    line.set(deliveryMode, c.deliveryMode);
    CreditHarness h;
    h.check(line.str(), c.product);
    EXPECT_EQ(h.faults(), c.expected) << c.name;
  }
  // A lower-case flag is not "Y": it does not call for a delivery mode.
  CreditHarness h;
  h.check("PAY", {{whtPresent, "y"}, {deliveryMode, "X"}});
  EXPECT_EQ(h.faults(),
            (std::vector<Fault>{{"62-62", "WHT Present", "This field should be Y or N"}}));
}

TEST(CreditPickupLocation, CheckedForModeCWhateverTheFlags) {
  const Fault pickup{"66-69", "Pickup Location", "Invalid Pickup Location"};
  runCases({
      {"C013", "PAY", {{deliveryMode, "C"}, {pickupLocation, "C013"}}, {pickup}},
      {"blank", "DDR", {{deliveryMode, "C"}, {pickupLocation, ""}}, {pickup}},
      {"lower-case c012", "MCP", {{deliveryMode, "C"}, {pickupLocation, "c012"}}, {pickup}},
      {"0511", "PAY", {{deliveryMode, "C"}, {pickupLocation, "0511"}}, {}},
      {"5108", "BNT", {{deliveryMode, "C"}, {pickupLocation, "5108"}}, {}},
      {"C001", "XDQ", {{deliveryMode, "C"}, {pickupLocation, "C001"}}, {}},
      {"mode M ignores the location", "PAY", {{deliveryMode, "M"}, {pickupLocation, "XXXX"}}, {}},
  });
}

TEST(CreditNotification, CodesAndFaxRequired) {
  struct NotifyCase {
    std::string code;
    bool row;
    bool fax;
  };
  const std::vector<NotifyCase> cases{{" ", false, false}, {"N", false, false}, {"F", false, true},
                                      {"S", false, false}, {"E", false, false}, {"f", true, false},
                                      {"X", true, false}};
  for (const NotifyCase& c : cases) {
    CreditHarness h;
    h.state.faxRequired = !c.fax;
    h.check("PAY", {{notification, c.code}});
    std::vector<Fault> expected;
    if (c.row) {
      expected.push_back({"259-259", "Beneficiary Notification",
                          "If this field have value it should be N,F,S or E"});
    }
    EXPECT_EQ(h.faults(), expected) << "'" << c.code << "'";
    EXPECT_EQ(h.state.faxRequired, c.fax) << "'" << c.code << "'";
  }
  CreditHarness h;
  h.check("PAY", {{notification, "F"}});
  h.check("PAY", {{notification, "N"}});
  EXPECT_FALSE(h.state.faxRequired) << "each credit sets the flag afresh";
}

}  // namespace
}  // namespace bs::test
