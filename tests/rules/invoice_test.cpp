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

using test::amount16;
using test::InvoiceFields;
using test::invoiceLine;

constexpr const char* kAccount = "5550001112";
constexpr const char* kPayee = "ACME CO., LTD.";

struct Fixture : test::RuleBench {
  explicit Fixture(bool withPayee = true) {
    credit.reset(kAccount);
    if (withPayee) credit.writeNames(kPayee, "");
  }
};

TEST(InvoiceRecord, ValidLinesYieldNoRowUnderEveryProduct) {
  for (std::string_view product : validProducts) {
    Fixture f;
    InvoiceFields english;
    english.printLanguage = "E";
    english.vatAmount = english.whtAmount = amount16(0);
    checkInvoiceRecord(f.context(product), invoiceLine(), 12);
    checkInvoiceRecord(f.context(product), invoiceLine(english), 13);
    checkInvoiceRecord(f.context(product), invoiceLine(10), 14);
    EXPECT_TRUE(f.faults().empty()) << product;
    EXPECT_TRUE(f.state.batchValid);
  }
}

struct Case {
  const char* name;
  std::function<void(InvoiceFields&)> change;
  std::vector<test::Fault> rows;
};

TEST(InvoiceRecord, Faults) {
  const std::string number = "This field should be number";
  const std::string notZero = "This field should  not equal zero";
  const std::string digits16 = "This field should have 16 digits";
  const std::string twoDecimals = "Amount should have two digits after decimal";
  const std::string date = "Invalid invoice date";
  const std::string language = "This field should be T or E";
  // clang-format off
  const std::vector<Case> cases = {
      {"blank identifiers",
       [](auto& i) { i.creditSequence = i.internalReference = i.invoiceSequence = i.invoiceNumber = ""; },
       {{"12-17", "Credit Sequence No.", "This field should be number 6 digits"},
        {"4-11", "Internal Reference", "This field should not be space"},
        {"18-23", "Invoice Sequence No.", "This field should be number 6 digits"},
        {"24-38", "Invoice Number", "This field should not be space"}}},
      {"invoice sequence with leading blanks", [](auto& i) { i.invoiceSequence = "  0001"; },
       {{"18-23", "Invoice Sequence No.", "This field should be number 6 digits"}}},
      {"29 February of a leap year", [](auto& i) { i.invoiceDate = "20240229"; }, {}},
      {"29 February of 2023", [](auto& i) { i.invoiceDate = "20230229"; }, {{"55-62", "Invoice Date", date}}},
      {"blank date", [](auto& i) { i.invoiceDate = ""; }, {{"55-62", "Invoice Date", date}}},
      {"amount zero", [](auto& i) { i.invoiceAmount = amount16(0); }, {{"39-54", "Invoice Amount", notZero}}},
      {"amount of ten digits after six blanks", [](auto& i) { i.invoiceAmount = "      0001000000"; },
       {{"39-54", "Invoice Amount", notZero}, {"39-54", "Invoice Amount", digits16}}},
      {"blank amount", [](auto& i) { i.invoiceAmount = ""; },
       {{"39-54", "Invoice Amount", number}, {"39-54", "Invoice Amount", digits16}}},
      {"amount of letters", [](auto& i) { i.invoiceAmount = "ABCDEFGHIJKLMNOP"; },
       {{"39-54", "Invoice Amount", number}}},
      {"amount ending in 5", [](auto& i) { i.invoiceAmount = amount16(1000005); },
       {{"39-54", "Invoice Amount", twoDecimals}}},
      {"lower-case language", [](auto& i) { i.printLanguage = "t"; }, {{"196-196", "Print Language", language}}},
      {"blank language", [](auto& i) { i.printLanguage = ""; }, {{"196-196", "Print Language", language}}},
  };
  // clang-format on
  // The three further amounts may be zero but follow the same three rules.
  const std::vector<std::tuple<const char*, const char*, std::string InvoiceFields::*>> amounts = {
      {"VAT Amount", "148-163", &InvoiceFields::vatAmount},
      {"Payee Charge Amount", "164-179", &InvoiceFields::payeeChargeAmount},
      {"WHT Amount", "180-195", &InvoiceFields::whtAmount}};
  std::vector<Case> all = cases;
  for (const auto& [field, column, member] : amounts) {
    const std::string f = field, c = column;
    auto m = member;
    all.push_back({field, [m](auto& i) { i.*m = amount16(0); }, {}});
    all.push_back({field, [m](auto& i) { i.*m = ""; }, {{c, f, number}, {c, f, digits16}}});
    all.push_back({field, [m](auto& i) { i.*m = "00000000000100 0"; }, {{c, f, number}}});
    all.push_back({field, [m](auto& i) { i.*m = amount16(75); }, {{c, f, twoDecimals}}});
  }
  for (const Case& c : all) {
    Fixture f;
    InvoiceFields fields;
    c.change(fields);
    checkInvoiceRecord(f.context("PAY"), invoiceLine(fields), 21);
    EXPECT_EQ(f.faults(), c.rows) << c.name;
    EXPECT_EQ(f.state.batchValid, c.rows.empty()) << c.name;
  }
}

TEST(InvoiceRecord, PartyCells) {
  // account, payee name of an ordinary row, then of the Print Language row.
  const std::vector<
      std::tuple<const char*, bool, const char*, const char*, const char*, const char*>>
      cases = {
          {"PAY", true, kAccount, kPayee, kAccount, ""},
          {"XDQ", true, kAccount, kPayee, kAccount, ""},
          {"MCP", true, kAccount, kPayee, "", kPayee},
          {"DDP", true, kAccount, kPayee, "", kPayee},
          {"PAY", false, kAccount, "", kAccount, ""},
      };
  for (const auto& [product, withPayee, account, payee, langAccount, langPayee] : cases) {
    Fixture f(withPayee);
    InvoiceFields i;
    i.invoiceNumber = "";
    i.printLanguage = "X";
    checkInvoiceRecord(f.context(product), invoiceLine(i), 30);
    const Grid& g = f.form.StringGrid1;
    ASSERT_EQ(g.rowCount(), 4) << product;
    EXPECT_EQ(g.cell(1, 1), "006");
    EXPECT_EQ(g.cell(2, 1), "30");
    EXPECT_EQ(g.cell(6, 1), account) << product;
    EXPECT_EQ(g.cell(7, 1), payee) << product;
    EXPECT_EQ(g.cell(6, 2), langAccount) << product;
    EXPECT_EQ(g.cell(7, 2), langPayee) << product;
  }
}

}  // namespace
}  // namespace bs
