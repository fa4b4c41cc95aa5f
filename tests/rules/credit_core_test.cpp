// The frame of the credit check: valid lines, identity columns, the context row, and the
// sequence number, amount, currency and internal reference rules.

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "commands/validate_file.h"
#include "core/failure.h"
#include "core/scripted_ui.h"
#include "core/session.h"
#include "rules/credit_harness.h"

namespace bs::test {
namespace {

using namespace credit;

const std::vector<std::string> kAllProducts{"PAY", "DCP", "PA2", "PA3", "MCL", "PA4", "PA5", "PA6",
                                            "MCP", "DDP", "CCP", "XMQ", "XDQ", "BNT", "DDR", "ZZZ"};

TEST(CreditLines, ValidLineOfEveryProductYieldsNoRow) {
  for (const std::string& product : kAllProducts) {
    for (int variant = 0; variant < 3; ++variant) {
      CreditLine line(product);
      if (variant == 1) line.withWht(2, 150000).set(deliveryMode, "C").set(pickupLocation, "0511");
      if (variant == 2) line.withInvoices(3, 1000000).set(adviceRequired, "Y");
      CreditHarness h;
      h.check(line.str(), product);
      EXPECT_TRUE(h.faults().empty())
          << product << " variant " << variant << ": " << testing::PrintToString(h.faults());
      EXPECT_TRUE(h.state.batchValid) << product;
      EXPECT_EQ(h.state.invalidAccountCount, 0) << product;
    }
  }
}

TEST(CreditCheck, ValidationPassRunsTheCreditRuleAndConvertsItsCountTexts) {
  ScriptedUi ui;
  Session session(ui, {}, Clock::fixed("20240101"));
  setUpSession(session);
  TempDir dir;
  CreditLine second("PAY");
  second.set(account, "9876543210").set(sequence, "00000X");
  writeFile(dir / "pay.txt", joinLines({CreditLine("PAY").withInvoices(0, 10).str(), second}));
  validateFile(session, (dir / "pay.txt").string());
  const Grid& g = session.form.StringGrid1;
  ASSERT_EQ(g.rowCount(), 3) << "one row, for the second credit's sequence number";
  EXPECT_EQ(g.cell(2, 1), "2");
  EXPECT_EQ(g.cell(4, 1), "Credit Sequence Number");
  EXPECT_EQ(g.cell(6, 1), "9876543210");
  EXPECT_EQ(session.state.creditWhtCountText, "00");
  EXPECT_EQ(session.state.creditInvoiceCountText, "000000");
  EXPECT_EQ(session.creditContext->read().account, "9876543210");
}

TEST(CreditCheck, RowsCarryRecordTypeLineAndIdentityOfTheProduct) {
  struct Case {
    std::string product;
    std::string account;  // expected Account column
  };
  const std::vector<Case> cases{{"PAY", "1234567896"}, {"MCP", ""},           {"DDP", ""},
                                {"CCP", ""},           {"XMQ", "1234567896"}, {"XDQ", "1234567896"},
                                {"BNT", "1234567896"}};
  for (const Case& c : cases) {
    CreditHarness h;
    h.check(c.product, {{account, "  1234567896"}, {currency, "thb"}}, 42);
    auto rows = h.rows();
    ASSERT_EQ(rows.size(), 1u) << c.product;
    EXPECT_EQ(rows[0].recordType, "003");
    EXPECT_EQ(rows[0].line, "42");
    EXPECT_EQ(rows[0].account, c.account) << c.product;
    EXPECT_EQ(rows[0].payeeName, "");
    EXPECT_FALSE(h.state.batchValid);
    EXPECT_EQ(h.form.Label4.caption, "Invalid data fields");
  }
}

TEST(CreditCheck, ContextHoldsTheLatestCreditsTrimmedAccount) {
  CreditHarness h;
  h.credit.reset("OLD");
  h.credit.writeNames("Old Payee", "");
  h.check("PAY", {{account, " 1234567896 "}});
  h.check("MCP", {{account, "  ABC 12"}});
  CreditContext row = h.credit.read();
  EXPECT_EQ(row.account, "ABC 12");
  EXPECT_EQ(row.beneNameEn, "");
  // A blank account starts the context too, before any rule runs.
  h.check("DCP", {{account, ""}});
  EXPECT_EQ(h.credit.read().account, "");
}

TEST(CreditCoreFields, SequenceCurrencyAndReference) {
  struct Case {
    const char* name;
    Edits edits;
    std::vector<Fault> expected;
  };
  const Fault seq{"4-9", "Credit Sequence Number", "This field should be number 6 digits"};
  const Fault cur{"51-53", "Credit Currency", "Currency should be THB"};
  const Fault ref{"54-61", "Internal Reference", "This field should not be space"};
  // clang-format off
  const std::vector<Case> cases{
      {"five digits and a blank", {{sequence, "00001"}}, {seq}},
      {"leading blank", {{sequence, " 00001"}}, {seq}},
      {"letters", {{sequence, "00000A"}}, {seq}},
      {"a point passes the number test", {{sequence, "0000.1"}}, {}},
      {"lower-case currency", {{currency, "thb"}}, {cur}},
      {"blank reference", {{internalReference, ""}}, {ref}},
      {"reference of one character", {{internalReference, "       X"}}, {}},
      {"all three, in order", {{sequence, ""}, {currency, "USD"}, {internalReference, ""}}, {seq, cur, ref}},
  };
  // clang-format on
  for (const Case& c : cases) {
    CreditHarness h;
    h.check("PAY", c.edits);
    EXPECT_EQ(h.faults(), c.expected) << c.name;
  }
}

TEST(CreditAmount, RowsAndSum) {
  const std::string digits16 = "Amount should have 16 digits";
  const std::string number = "Amount should be number";
  const std::string zero = "Amount should be more than zero,Acc_No";
  const std::string decimals = "Amount should have two digits after decimal";
  const std::string limit = "Amount have not over 2,000,000 ";
  struct Case {
    const char* name;
    std::string product;
    Edits edits;
    std::vector<std::string> messages;
    double added;
  };
  // clang-format off
  const std::vector<Case> cases{
      {"zero", "PAY", {{amount, amount16(0)}}, {zero}, 0},
      {"negative 150.00", "PAY", {{amount, "-000000000150000"}}, {zero}, -150000},
      {"150.005: only the decimals row", "PAY", {{amount, "0000000000150005"}}, {decimals}, 150005},
      {"zero ending in 5 skips the zero test", "PAY", {{amount, "0000000000000005"}}, {decimals}, 5},
      {"fifteen digits and a blank", "PAY", {{amount, "000000000015000"}}, {digits16}, 0},
      {"inner blank", "PAY", {{amount, "0000000 00150000"}}, {number}, 0},
      {"MCL other bank at the limit", "MCL", {{amount, amount16(2000000000)}}, {}, 2e9},
      {"MCL other bank above the limit", "MCL", {{amount, amount16(2000000010)}}, {limit}, 2000000010},
      {"MCL above the limit ending in 5", "MCL", {{amount, amount16(2000000015)}}, {limit, decimals}, 2000000015},
      {"MCL home bank has no limit", "MCL", {{amount, amount16(2000000010)}, {bankCode, "014"}}, {}, 2000000010},
      {"PA4 has no limit", "PA4", {{amount, amount16(9000000000)}}, {}, 9e9},
  };
  // clang-format on
  for (const Case& c : cases) {
    CreditHarness h;
    h.state.creditAmountSum = 1000;
    h.check(c.product, c.edits);
    std::vector<std::string> messages;
    for (const Fault& f : h.faults()) {
      EXPECT_EQ(f.columns, "35-50") << c.name;
      EXPECT_EQ(f.field, "Credit Amount") << c.name;
      messages.push_back(f.message);
    }
    EXPECT_EQ(messages, c.messages) << c.name;
    EXPECT_EQ(h.state.creditAmountSum, 1000 + c.added) << c.name;
  }
}

TEST(CreditAmount, UnconvertibleAmountsEndTheCommandAfterEarlierRows) {
  struct Case {
    std::string product;
    std::string amount;
    std::string message;
  };
  const std::vector<Case> cases{
      {"PAY", "E000000000000000", "'E000000000000000' is not a valid floating point value"},
      {"MCL", "000000001234.500", "'000000001234..500' is not a valid floating point value"},
      {"MCL", "000000000123E+10", "'000000000123E.+10' is not a valid floating point value"},
  };
  for (const Case& c : cases) {
    CreditHarness h;
    try {
      h.check(c.product, {{sequence, "X"}, {amount, c.amount}});
      ADD_FAILURE() << c.amount << " converted";
    } catch (const Failure& f) {
      EXPECT_EQ(std::string(f.what()), c.message);
    }
    EXPECT_EQ(h.faults().size(), 1u) << "the sequence row stays";
  }
}

}  // namespace
}  // namespace bs::test
