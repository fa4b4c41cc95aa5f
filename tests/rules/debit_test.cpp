#include "rules/record_rules.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "rules/products.h"
#include "support/record_lines.h"

namespace bs {
namespace {

using test::ErrorRowText;
using test::kHomeAccount;
using test::kToday;
using test::RuleBench;
using test::withField;

constexpr long long kAmount = 1500000;  // 1,500.000

using test::FieldEdit;

using Expected = test::Fault;

std::vector<Expected> checkLine(RuleBench& rs, const std::string& line, std::string_view product) {
  checkDebitRecord(rs.context(product), line, 4);
  return rs.faults();
}

std::string debitLine(std::string_view product, const std::vector<FieldEdit>& edits = {}) {
  return test::withFields(test::debitLine(product, kAmount, 2), edits);
}

const Expected kInvalidProduct{"4-6", "Product Code", "Invalid Product Code"};
const Expected kInvalidDate{"7-14", "Value Date", "Invalid value date"};
const Expected kPastDate{"7-14", "Value Date", "Value date should be today or future date"};
// clang-format off
const Expected kMediaPastDate{"7-14", "Value Date", "Value date in media clearing should be future date"};
const Expected kSoftAccount{"15-39", "Debit Account No", "Invalid ZNB Account"};
const Expected kAccountNumber{"15-39", " Debit Account", "This field should  be number"};
const Expected kAcctType{"40-41", "Acct Type of Debit", "Account type should be number"};
const Expected kBranch{"42-45", "Debit Branch Code", "Debit Branch should be number"};
const Expected kCurrency{"46-48", "Debit Currency", "Currency should be THB"};
const Expected kFeeAcctType{"104-105", "Acct Type(Fee)", "Account type should be number"};
const Expected kFeeBranch{"106-109", "Debit Branch Code(Fee)", "Debit Branch should be number"};
const Expected kCredits{"73-78", "No. of Credits", "This field should be number 6 digits"};
const Expected kReference{"65-72", "Internal Reference", "This field should not be space"};
const Expected kSecondSoft{"79-103", "Debit Account No", "Invalid ZNB Account"};
const Expected kSecondNumber{"79-103", " Debit Account", "This field should  be number"};
const Expected kFeeAccount{"79-93", "Fee Debit Account", "This field should  be number"};
const Expected kFiller{"94-102", "Filler", "This field should be space"};
const Expected kMediaCircle{"103", "Media Circle", "This field should  be space , 0 , 1 or 2"};
// clang-format on

TEST(DebitRecord, ValidLineOfEveryProductYieldsNoRow) {
  for (std::string_view product : validProducts) {
    SCOPED_TRACE(std::string(product));
    RuleBench rs;
    EXPECT_EQ(checkLine(rs, debitLine(product), product), std::vector<Expected>{});
    EXPECT_TRUE(rs.state.batchValid);
    EXPECT_FALSE(rs.form.btnSaveError.enabled);
  }
}

struct DebitCase {
  const char* name;
  std::string_view product;
  std::vector<FieldEdit> edits;
  std::vector<Expected> rows;
};

TEST(DebitRecord, FieldChecksPerProduct) {
  // clang-format off
  const std::vector<DebitCase> cases = {
      {"product in lower case", "pay", {{4, 6, "pay"}}, {kInvalidProduct}},
      {"DDR is no debit product", "DDR", {{4, 6, "DDR"}}, {kInvalidProduct}},
      {"impossible date only says invalid", "PAY", {{7, 14, "20260230"}}, {kInvalidDate}},
      {"impossible date under media clearing", "MCL", {{7, 14, "20261332"}}, {kInvalidDate}},
      {"value date today passes", "PAY", {{7, 14, kToday}}, {}},
      {"value date yesterday", "DCP", {{7, 14, "20261208"}}, {kPastDate}},
      {"media clearing today, circle blank", "MCL", {{7, 14, kToday}}, {kMediaPastDate}},
      {"media clearing today, circle 0", "PA4", {{7, 14, kToday}, {103, 103, "0"}}, {kMediaPastDate}},
      {"media clearing in the past, circle 1", "PA5", {{7, 14, "20200101"}, {103, 103, "1"}}, {}},
      {"media clearing in the past, circle 2", "PA6", {{7, 14, "20200101"}, {103, 103, "2"}}, {}},
      {"non-numeric debit account", "BNT", {{15, 39, "ABC"}}, {kSoftAccount, kAccountNumber}},
      {"blank debit account", "BNT", {{15, 39, ""}}, {kSoftAccount, kAccountNumber}},
      {"eleven-digit account drops its 4th character", "PAY", {{15, 39, "12304567896"}}, {}},
      {"account type may be blank", "PAY", {{40, 41, ""}}, {}},
      {"account type not numeric", "MCP", {{40, 41, "AB"}}, {kAcctType}},
      {"express cheque needs an account type", "XMQ", {{40, 41, ""}}, {kAcctType}},
      {"express cheque, non-numeric type counts twice", "XDQ", {{40, 41, "A1"}}, {kAcctType, kAcctType}},
      {"branch not numeric under a cheque product", "DDP", {{42, 45, "12-4"}}, {kBranch}},
      {"branch with a trailing blank", "CCP", {{42, 45, "123 "}}, {kBranch}},
      {"currency in lower case", "PAY", {{46, 48, "thb"}}, {kCurrency}},
      {"fee account type", "PAY", {{104, 105, "X"}}, {kFeeAcctType}},
      {"fee branch", "PAY", {{106, 109, "00 1"}}, {kFeeBranch}},
      {"five-digit credit count", "PAY", {{73, 78, "12345 "}}, {kCredits}},
      {"credit count with a leading blank", "PAY", {{73, 78, " 12345"}}, {kCredits}},
      {"blank internal reference", "PAY", {{65, 72, ""}}, {kReference}},
      {"second account fails its check digit", "PA2", {{79, 103, "1234567890"}}, {kSecondSoft}},
      {"second account not numeric", "PA3", {{79, 103, "12345X7896"}}, {kSecondSoft, kSecondNumber}},
      {"BNT leaves columns 79-103 alone", "BNT", {{79, 103, "anything at all !"}}, {}},
      {"media clearing with a blank fee account", "MCL", {{79, 93, ""}}, {kFeeAccount}},
      {"media clearing fee account is not check-digit tested", "MCL", {{79, 93, "1234567890"}}, {}},
      {"filler not blank", "PA4", {{94, 102, "X"}}, {kFiller}},
      {"media circle 3", "MCL", {{103, 103, "3"}}, {kMediaCircle}},
      {"media circle letter", "MCL", {{103, 103, "A"}}, {kMediaCircle}},
      {"media circle lone point is a number but not 0, 1 or 2", "MCL", {{103, 103, "."}}, {kMediaCircle}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RuleBench rs;
    EXPECT_EQ(checkLine(rs, debitLine(c.product, c.edits), c.product), c.rows);
  }
}

TEST(DebitRecord, EveryCheckFailingKeepsTheTableOrder) {
  const std::vector<FieldEdit> wrongEverywhere = {
      {4, 6, "MCL"},   {7, 14, "20261201"}, {15, 39, "X"},   {40, 41, "?"},  {42, 45, "?"},
      {46, 48, "USD"}, {49, 64, "1"},       {65, 72, ""},    {73, 78, "?"},  {79, 93, ""},
      {94, 102, "?"},  {103, 103, "9"},     {104, 105, "?"}, {106, 109, "?"}};
  RuleBench rs;
  const Expected amount{"49-64", "Debit Amount", "Amount should have 16 digits"};
  EXPECT_EQ(checkLine(rs, debitLine("MCL", wrongEverywhere), "MCL"),
            (std::vector<Expected>{kMediaPastDate, kSoftAccount, kAccountNumber, kAcctType, kBranch,
                                   kCurrency, kFeeAcctType, kFeeBranch, amount, kCredits,
                                   kReference, kFeeAccount, kFiller, kMediaCircle}));

  RuleBench express;
  std::vector<FieldEdit> expressEdits = {
      {4, 6, "XMQ"}, {7, 14, "20261201"}, {40, 41, "?"}, {79, 103, "?"}};
  EXPECT_EQ(checkLine(express, debitLine("XMQ", expressEdits), "XMQ"),
            (std::vector<Expected>{kPastDate, kAcctType, kAcctType, kSecondSoft, kSecondNumber}));
}

TEST(DebitRecord, RowsCarryTheUntrimmedDebitAccount) {
  RuleBench rs;
  std::string line = debitLine("PAY", {{46, 48, "USD"}});
  checkDebitRecord(rs.context("PAY"), line, 12);
  const std::string account = std::string(kHomeAccount) + std::string(15, ' ');
  EXPECT_EQ(rs.rows(), (std::vector<ErrorRowText>{{"002", "12", "46-48", "Debit Currency",
                                                   "Currency should be THB", account, ""}}));
}

TEST(DebitRecord, FailedCheckDigitIsOnlyCounted) {
  struct Case {
    const char* name;
    std::vector<FieldEdit> edits;
    int invalidAccounts;
    bool batchValid;
  };
  const std::vector<Case> cases = {
      {"numeric debit account with a wrong check digit", {{15, 39, "1234567890"}}, 1, true},
      {"both accounts wrong", {{15, 39, "1234567890"}, {79, 103, "0000000000"}}, 2, true},
      {"a wrong account beside a hard fault", {{15, 39, "1234567890"}, {46, 48, ""}}, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RuleBench rs;
    checkDebitRecord(rs.context("PAY"), debitLine("PAY", c.edits), 3);
    EXPECT_EQ(rs.state.invalidAccountCount, c.invalidAccounts);
    EXPECT_EQ(rs.state.batchValid, c.batchValid);
    // The soft row alone does not switch the window into its invalid state.
    EXPECT_EQ(rs.form.btnSaveError.enabled, !c.batchValid);
  }
}

TEST(DebitRecord, AmountStepsKeepTheBatchFigures) {
  struct Case {
    const char* name;
    std::string_view amount;
    std::vector<std::string> messages;
    double debitAmount;  // after the line; the previous debit left 7000
    long debitLine;      // the previous debit was line 2
    double total;        // the previous debits added 7000
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"valid amount", "0000000001500000", {}, 1500000, 9, 1507000},
      {"sixteen zeros", "0000000000000000", {"Amount should be more than zero"}, 0, 9, 7000},
      {"negative amount", "-000000000001000", {"Amount should be more than zero"}, -1000, 9, 7000},
      {"last digit 5", "0000000001500005", {"Amount should have two digits after decimal"}, 1500005, 9, 7000},
      {"fifteen digits and a blank", "000000000150000 ", {"Amount should have 16 digits"}, 7000, 2, 7000},
      {"a leading blank", " 000000000150000", {"Amount should have 16 digits"}, 7000, 2, 7000},
      {"a letter inside", "00000000015O0000", {"Amount should be number"}, 7000, 2, 7000},
      {"a blank inside", "0000000 01500000", {"Amount should be number"}, 7000, 2, 7000},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RuleBench rs;
    rs.state.debitAmount = 7000;
    rs.state.debitLine = 2;
    rs.state.debitAmountTotal = 7000;
    checkDebitRecord(rs.context("PAY"), debitLine("PAY", {{49, 64, c.amount}}), 9);
    EXPECT_EQ(rs.messages(), c.messages);
    for (const auto& row : rs.rows()) {
      EXPECT_EQ(row.column, "49-64");
      EXPECT_EQ(row.fieldName, "Debit Amount");
    }
    EXPECT_EQ(rs.state.debitAmount, c.debitAmount);
    EXPECT_EQ(rs.state.debitLine, c.debitLine);
    EXPECT_EQ(rs.state.debitAmountTotal, c.total);
  }
}

TEST(DebitRecord, AmountTheFloatConversionRefusesEndsTheRun) {
  RuleBench rs;
  std::string line = debitLine("PAY", {{46, 48, "USD"}, {49, 64, "E000000000000000"}});
  try {
    checkDebitRecord(rs.context("PAY"), line, 5);
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_STREQ(f.what(), "'E000000000000000' is not a valid floating point value");
  }
  EXPECT_EQ(rs.messages(), std::vector<std::string>{"Currency should be THB"})
      << "rows listed before the failure stay";
}

}  // namespace
}  // namespace bs
