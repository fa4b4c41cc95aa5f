#include "rules/record_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/error_list.h"
#include "rules/products.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"

namespace bs {
namespace {

using test::PayeeFields;
using test::payeeLine;

constexpr const char* kAccount = "1234567890";

struct Fixture : test::RuleBench {
  Fixture(bool fax, bool wht) {
    state.faxRequired = fax;
    state.whtPresent = wht;
    credit.reset(kAccount);
  }
};

const std::string kThaiMsg =
    "This field should not Name Thai should not ~ ! @ # $ % ^  _ * + = { }[ ] | \\ ; \" \"< > ?";
const std::string kEnglishMsg =
    "This field should not Name English should not ~ ! @ # $ % ^  _ * + = { }[ ] | \\ ; \" \"< > ?";
const std::string kIdA = "This field Tax ID = space ,This field should be ID Card = 13 digit   ";
const std::string kIdB = "This field Tax ID = space ,This field should be ID Card = 13 digit  ";

TEST(PayeeRecord, ValidLinesYieldNoRowUnderEveryProduct) {
  const std::vector<std::string> lines = {payeeLine(), test::payeeLineEnglish("ACME CO., LTD."),
                                          test::payeeLineThai(test::kThaiPayeeName)};
  for (std::string_view product : validProducts)
    for (const auto& line : lines) {
      Fixture f(true, true);
      checkPayeeRecord(f.context(product), line, 3);
      EXPECT_TRUE(f.rows().empty()) << product;
      EXPECT_TRUE(f.state.batchValid);
    }
}

struct Case {
  const char* name;
  const char* product;
  bool fax, wht;  // the credit's flags
  std::function<void(PayeeFields&)> change;
  // Column, message and party (account, payee name) of each expected row.
  std::vector<std::vector<std::string>> rows;
};

TEST(PayeeRecord, FaultsRowsAndPartyCells) {
  const std::string en = "SOMCHAI JAIDEE";
  const std::string seq = "This field should be number 6 digits";
  const std::string faxBlank = "This field should  be Payee1 Fax Number";
  const std::string faxNumber = "This field should be number ";
  const std::string taxId = "This field should  be Payee1 Tax ID";
  // clang-format off
  const std::vector<Case> cases = {
      {"sequence with leading blanks", "PAY", false, false, [](auto& p) { p.creditSequence = "   123"; },
       {{"12-17", seq, kAccount, ""}}},
      {"sequence with trailing blank", "MCP", false, false, [](auto& p) { p.creditSequence = "12345 "; },
       {{"12-17", seq, "", en}}},
      {"blank reference", "PAY", false, false, [](auto& p) { p.internalReference = ""; },
       {{"4-11", "This field should not be space", kAccount, ""}}},
      {"forbidden names pass for PAY", "PAY", false, false,
       [](auto& p) { p.nameTh = p.nameEn = p.payee2NameTh = "A@B_C"; }, {}},
      {"forbidden names under XMQ name the account", "XMQ", false, false,
       [](auto& p) { p.nameTh = p.nameEn = p.payee2NameTh = "A@B_C"; },
       {{"33-132", kThaiMsg, kAccount, ""}, {"507-606", kEnglishMsg, kAccount, ""},
        {"353-422", kEnglishMsg, kAccount, ""}}},
      {"0x91 in Thai name under DDP", "DDP", false, false, [](auto& p) { p.nameTh = "\x91X"; },
       {{"33-132", kThaiMsg, "", en}}},
      {"blank fax when required", "PAY", true, false, [](auto& p) { p.fax = ""; },
       {{"423-432", faxBlank, kAccount, ""}, {"423-432", faxNumber, kAccount, ""}}},
      {"fax with letters", "PAY", true, false, [](auto& p) { p.fax = "02-FAX"; },
       {{"423-432", faxNumber, kAccount, ""}}},
      {"fax not required", "PAY", false, true, [](auto& p) { p.fax = "none"; }, {}},
      {"no tax id, no id card", "PAY", false, true, [](auto& p) { p.taxId = ""; },
       {{"343-352", taxId, kAccount, ""}}},
      {"9-character id card, cheque names account", "MCP", false, true,
       [](auto& p) { p.taxId = "", p.idCard = "123456789"; }, {{"18-32", kIdA, kAccount, ""}}},
      {"11-character id card", "MCP", false, true,
       [](auto& p) { p.taxId = "", p.idCard = "12345678901"; }, {{"18-32", kIdB, kAccount, ""}}},
      {"12-character id card", "PAY", false, true,
       [](auto& p) { p.taxId = "", p.idCard = "123456789012"; }, {{"18-32", kIdB, kAccount, ""}}},
      {"10-character id card", "PAY", false, true, [](auto& p) { p.taxId = "", p.idCard = "1234567890"; }, {}},
      {"13-character id card", "PAY", false, true, [](auto& p) { p.taxId = "", p.idCard = "1234567890123"; }, {}},
      {"id card not examined beside a tax id", "PAY", false, true, [](auto& p) { p.idCard = "12"; }, {}},
      {"id card not examined without WHT", "PAY", false, false, [](auto& p) { p.taxId = "", p.idCard = "12"; }, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Fixture f(c.fax, c.wht);
    PayeeFields fields;
    c.change(fields);
    checkPayeeRecord(f.context(c.product), payeeLine(fields), 7);
    std::vector<test::ErrorRowText> want;
    for (const auto& r : c.rows) {
      const std::string field = r[0] == "12-17"     ? "Credit Sequence Number"
                                : r[0] == "4-11"    ? "Internal Reference"
                                : r[0] == "33-132"  ? "Payee1 Name(Thai)"
                                : r[0] == "507-606" ? "Payee2 Name(Thai)"
                                : r[0] == "353-422" ? "Payee1 Name(English)"
                                : r[0] == "423-432" ? "Payee 1 Fax Number"
                                : r[0] == "343-352" ? "Payee1 Tax ID"
                                                    : "Payee1 ID Card";
      want.push_back({"004", "7", r[0], field, r[1], r[2], r[3]});
    }
    EXPECT_EQ(f.rows(), want) << c.name;
    EXPECT_EQ(f.state.batchValid, want.empty()) << c.name;
    EXPECT_EQ(f.form.Label4.caption, want.empty() ? "" : "Invalid data fields") << c.name;
  }
}

TEST(PayeeRecord, ChecksRunInTableOrderAndNoneStopsTheRest) {
  Fixture f(true, true);
  PayeeFields p;
  p.internalReference = p.creditSequence = p.fax = p.taxId = "";
  p.nameTh = p.payee2NameTh = p.nameEn = "#";
  p.idCard = "123";
  checkPayeeRecord(f.context("XDQ"), payeeLine(p), 9);
  std::vector<std::string> columns;
  for (const auto& r : f.rows()) columns.push_back(r.column);
  EXPECT_EQ(columns, (std::vector<std::string>{"12-17", "4-11", "33-132", "507-606", "353-422",
                                               "423-432", "423-432", "18-32"}));
}

TEST(PayeeRecord, NamesReachTheContextBeforeTheChecks) {
  // An English name falls back to the Thai one, and a cheque's rows show it.
  Fixture f(false, false);
  PayeeFields p = {};
  p.nameEn = "";
  p.internalReference = "";
  checkPayeeRecord(f.context("MCP"), payeeLine(p), 4);
  CreditContext ctx = f.credit.read();
  EXPECT_EQ(ctx.account, kAccount);
  EXPECT_EQ(ctx.beneNameEn, test::kThaiPayeeName);
  EXPECT_EQ(ctx.beneNameTh, test::kThaiPayeeName);
  ASSERT_EQ(f.rows().size(), 1u);
  EXPECT_EQ(f.rows()[0].payeeName, test::kThaiPayeeName);

  // A clean line replaces the names all the same.
  checkPayeeRecord(f.context("PAY"), test::payeeLineEnglish("  NEW NAME  "), 5);
  ctx = f.credit.read();
  EXPECT_EQ(ctx.beneNameEn, "NEW NAME");
  EXPECT_EQ(ctx.beneNameTh, "");
}

}  // namespace
}  // namespace bs
