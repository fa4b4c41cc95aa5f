// Credit account rules: home-bank check digit and account numbers by product, and the two
// ways a fault is counted.

#include "core/failure.h"
#include "rules/credit_harness.h"

namespace bs::test {
namespace {

using namespace credit;

const Fault kInvalidHome{"10-34", "Credit Account No", "Invalid ZNB Account"};
// clang-format off
const Fault kBankNotHome{"181-183", "Receiving Bank Code", "If product code is DCP,PAY,PA2,PA3 this field should be 014"};
const Fault kBankNotHomeSecond{"181-183", "Receiving Bank code", "This field should  be 014"};
// clang-format on
Fault notNumber(const std::string& product) {
  return {"10-34", "Credit Account No",
          "If product code is " + product + " this field should be number"};
}

TEST(CreditAccount, RowsAndCountedFaults) {
  struct Case {
    const char* name;
    std::string product;
    Edits edits;
    std::vector<Fault> expected;
    int counted;  // invalidAccountCount
  };
  // clang-format off
  const std::vector<Case> cases{
      {"DCP bad check digit to another bank", "DCP", {{account, "1234567890"}, {bankCode, "002"}}, {kInvalidHome, kBankNotHome, kBankNotHomeSecond}, 2},
      {"DCP blank account", "DCP", {{account, ""}}, {kInvalidHome, notNumber("DCP")}, 1},
      {"PAY 11-digit account with the 4th dropped", "PAY", {{account, "12304567896"}}, {}, 0},
      {"PA2 trimmed account", "PA2", {{account, "   1234567896"}}, {}, 0},
      {"PA3 letters", "PA3", {{account, "12345A7896"}}, {kInvalidHome, notNumber("PA3")}, 1},
      {"BNT home bank, bad check digit", "BNT", {{bankCode, "014"}, {account, "1234567890"}}, {kInvalidHome}, 1},
      {"BNT other bank, any number", "BNT", {{bankCode, "002"}, {account, "1234567890"}}, {}, 0},
      {"DDR other bank, letters", "DDR", {{account, "ABC"}}, {notNumber("DDR")}, 0},
      {"MCL home bank, blank account", "MCL", {{bankCode, "014"}, {account, ""}}, {kInvalidHome, notNumber("MCL")}, 1},
      {"MCP blank account: no account rule", "MCP", {{account, ""}}, {}, 0},
      {"XMQ letters: no account rule", "XMQ", {{account, "ABC"}}, {}, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    CreditHarness h;
    h.state.invalidAccountCount = 5;
    h.check(c.product, c.edits);
    EXPECT_EQ(h.faults(), c.expected) << c.name;
    EXPECT_EQ(h.state.invalidAccountCount, 5 + c.counted) << c.name;
    EXPECT_EQ(h.state.batchValid, c.expected.empty()) << c.name;
  }
}

TEST(CreditAccount, AccountFaultLeavesTheStatusLineAlone) {
  CreditHarness h;
  h.check("BNT", {{bankCode, "014"}, {account, "1234567890"}});
  EXPECT_FALSE(h.state.batchValid);
  EXPECT_EQ(h.state.invalidAccountCount, 1);
  EXPECT_EQ(h.form.Label4.caption, "");
  EXPECT_FALSE(h.form.btnSaveError.enabled);
  ASSERT_EQ(h.rows().size(), 1u);
  EXPECT_EQ(h.rows()[0].account, "1234567890");
}

TEST(CreditAccount, HomeAccountThatDoesNotConvertEndsTheCommand) {
  CreditHarness h;
  try {
    h.check("PAY", {{account, "123456789."}});
    ADD_FAILURE() << "converted";
  } catch (const Failure& f) {
    EXPECT_EQ(std::string(f.what()), "'.' is not a valid integer value");
  }
}

}  // namespace
}  // namespace bs::test
