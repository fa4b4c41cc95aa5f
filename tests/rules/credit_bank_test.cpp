// Receiving bank, BahtNet and cheque fields, and which products must or must not credit the
// home bank.

#include "core/failure.h"
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
    EXPECT_EQ(h.faults(), c.expected) << c.name << " (" << c.product << ")";
  }
}

TEST(CreditClearingBank, BankNameBranchAndServicesType) {
  // clang-format off
  const Fault bank{"181-183", "Receiving Bank Code", "If product code is MCL,PA4,PA5,PA6 this field should be number and length equal 4 digits"};
  const Fault name{"184-218", "Receiving Bank Name", "If product code is MCL,PA4,PA5,PA6 this field should not be space"};
  const Fault branch{"219-222", "Receiving Branch Code", "If product code is MCL,PA4,PA5,PA6 this field should be number  and length equal 4 digits"};
  const Fault services{"284-285", "ServicesType", "If product code is MCL,PA4,PA5,PA6 this field should be 01-07 or 59"};
  runCases({
      {"blank name only", "MCL", {{bankCode, "002"}, {bankName, ""}, {branchCode, "0001"}, {servicesType, "08"}}, {name}},
      {"bank code with a trailing blank", "MCL", {{bankCode, "02"}}, {bank}},
      {"bank code with a leading blank", "PA4", {{bankCode, " 02"}}, {bank}},
      {"branch of three digits", "PA6", {{branchCode, "001"}}, {branch}},
      {"ServicesType 07", "MCL", {{servicesType, "07"}}, {}},
      {"ServicesType 59", "MCL", {{servicesType, "59"}}, {}},
      {"ServicesType 09", "MCL", {{servicesType, "09"}}, {services}},
      {"ServicesType blank", "MCL", {{servicesType, ""}}, {services}},
      {"PA5 has no ServicesType rule", "PA5", {{servicesType, "99"}}, {}},
      {"all four, in order", "MCL", {{bankCode, "AB2"}, {bankName, ""}, {branchCode, "X"}, {servicesType, "00"}}, {bank, name, branch, services}},
  });
  // clang-format on
}

TEST(CreditBahtNet, FieldsOfABahtNetCredit) {
  // clang-format off
  const Fault bank{"181-183", "Receiving Bank Code", "If product code is BNT this field should be number"};
  const Fault name{"184-218", "Receiving Bank Name", "If product code is BNT this field should not be space"};
  const Fault branch{"219-222", "Receiving Branch Code", "If product code is BNT this field should be number"};
  const Fault payment{"281-283", "Payment Type Code", "If product code is BNT this field should be in code"};
  const Fault services{"284-285", "ServicesType", "If product code is BNT this field should be 00-23"};
  runCases({
      {"bank 1 and blanks", "BNT", {{bankCode, "1"}}, {bank}},
      {"bank with a leading blank", "BNT", {{bankCode, " 12"}}, {}},
      {"branch of one digit passes", "BNT", {{branchCode, "   1"}}, {}},
      {"blank name and branch", "BNT", {{bankName, ""}, {branchCode, ""}}, {name, branch}},
      {"lower-case csh", "BNT", {{paymentTypeCode, "csh"}}, {payment}},
      {"FWD", "BNT", {{paymentTypeCode, "FWD"}}, {}},
      {"ServicesType 23", "BNT", {{servicesType, "23"}}, {}},
      {"ServicesType 24", "BNT", {{servicesType, "24"}}, {services}},
      {"ServicesType ab", "BNT", {{servicesType, "ab"}}, {services}},
      {"ServicesType minus one", "BNT", {{servicesType, "-1"}}, {services}},
      {"ServicesType plus one", "BNT", {{servicesType, "+1"}}, {}},
  });
  // clang-format on
}

TEST(CreditBahtNet, ServicesTypeThatIsNoIntegerEndsTheCommand) {
  for (std::string text : {"1.", ".5", "E1"}) {
    CreditHarness h;
    try {
      h.check("BNT", {{servicesType, text}});
      ADD_FAILURE() << text << " converted";
    } catch (const Failure& f) {
      EXPECT_EQ(std::string(f.what()), "'" + text + "' is not a valid integer value");
    }
  }
}

TEST(CreditCheque, ChequeFieldsNameTheProduct) {
  const std::string docRange = " this field should be 1-9 and A-R";
  // clang-format off
  const Fault bank{"181-183", "Receiving Bank Code", "If product code is MCP,DDP,CCP,XMQ,XDQ this field should be 014"};
  // clang-format on
  auto doc = [](std::string message) {
    return Fault{"280-280", "Cheque Reference Document Type", message};
  };
  // clang-format off
  runCases({
      {"document type S", "DDP", {{chequeDocumentType, "S"}}, {}},
      {"document type 9", "CCP", {{chequeDocumentType, "9"}}, {}},
      {"document type T", "DDP", {{chequeDocumentType, "T"}}, {doc("If product code is DDP" + docRange)}},
      {"document type a", "DDP", {{chequeDocumentType, "a"}}, {doc("If product code is DDP" + docRange)}},
      {"document type 0", "MCP", {{chequeDocumentType, "0"}}, {doc("If product code is MCP" + docRange)}},
      {"blank document type: two rows", "DDP", {{chequeDocumentType, " "}}, {doc("If product code is DDP this field should not be space"), doc("If product code is DDP" + docRange)}},
      {"blank reference under XMQ", "XMQ", {{chequeReference, ""}}, {{"260-279", "Cheque Reference Number", "If product code is XMQ this field should not be space"}}},
      {"branch not a number", "XDQ", {{branchCode, "00A1"}}, {{"219-222", "Receiving Branch Code", "If product code is XDQ this field should be number"}}},
      {"other bank", "XDQ", {{bankCode, "002"}}, {bank}},
      {"DDR has none of these rules", "DDR", {{chequeReference, ""}, {chequeDocumentType, ""}, {servicesType, "ab"}}, {}},
  });
  // clang-format on
}

TEST(CreditHomeBankPlacement, ClearingPayrollAndHomeTransfers) {
  const Fault notHome{"181-183", "Receiving Bank code", "This field should not be 014"};
  // clang-format off
  const Fault mustBeHomeAccountFault{"181-183", "Receiving Bank Code", "If product code is DCP,PAY,PA2,PA3 this field should be 014"};
  const Fault mustBeHome{"181-183", "Receiving Bank code", "This field should  be 014"};
  runCases({
      {"PA5 to the home bank", "PA5", {{bankCode, "014"}}, {notHome}},
      {"PA5 to the home bank with a bad account", "PA5", {{bankCode, "014"}, {account, "1234567890"}}, {{"10-34", "Credit Account No", "Invalid ZNB Account"}, notHome}},
      {"MCL to the home bank is fine", "MCL", {{bankCode, "014"}}, {}},
      {"PAY to another bank: two rows", "PAY", {{bankCode, "002"}}, {mustBeHomeAccountFault, mustBeHome}},
  });
  // clang-format on
}

}  // namespace
}  // namespace bs::test
