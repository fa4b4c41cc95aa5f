#include "rules/income_types.h"
#include "rules/record_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/error_list.h"
#include "core/failure.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"

namespace bs {
namespace {

using test::amount16;
using test::WhtFields;
using test::whtLine;

constexpr const char* kAccount = "0011223344";
constexpr const char* kPayee = "SOMCHAI JAIDEE";

struct Fixture : test::RuleBench {
  Fixture() {
    credit.reset(kAccount);
    credit.writeNames(kPayee, "");
  }
  // Columns 3 and 5 (column and message) of every data row.
  std::vector<std::pair<std::string, std::string>> rows() const {
    std::vector<std::pair<std::string, std::string>> out;
    const Grid& g = form.StringGrid1;
    for (int r = 1; r + 1 < g.rowCount(); ++r)
      out.emplace_back(std::string(g.cell(3, r)), std::string(g.cell(5, r)));
    return out;
  }
};

TEST(WhtRecord, IncomeTypes) {
  const std::vector<std::pair<const char*, bool>> cases = {
      {"1", true},     {"2", true},     {"3", true},   {"5", true},      {"6", true},
      {"4a", true},    {"4A", true},    {"4b", true},  {"4B1.1", true},  {"4b1.2", true},
      {"4b1.3", true}, {"4B1.4", true}, {"4b2", true}, {"4B3", true},    {"4", false},
      {"01", false},   {"7", false},    {"", false},   {"4b1.5", false}, {"4c", false},
      {"1.0", false},  {"4B 2", false},
  };
  for (const auto& [code, valid] : cases) EXPECT_EQ(isValidIncomeType(code), valid) << code;
}

struct Case {
  const char* name;
  std::function<void(WhtFields&)> change;
  std::vector<std::pair<std::string, std::string>> rows;
  double sumAdded;
};

TEST(WhtRecord, FaultsAndTheWhtSum) {
  const std::string digits16 = "This field should have 16 digits";
  const std::string twoDecimals = "Amount should have two digits after decimal";
  const std::string positive = "This field should be number and more than zero";
  const std::string rate2 = "This field should be number 2 digits";
  const std::string rate0 = "This field should be WHT Deduct Rate > 0";
  // clang-format off
  const std::vector<Case> cases = {
      {"valid", [](auto&) {}, {}, 30000},
      {"zero tax adds nothing", [](auto& w) { w.whtAmount = amount16(0); }, {}, 0},
      {"type 6 written with a trailing blank", [](auto& w) { w.incomeType = "6 "; }, {}, 30000},
      {"blank sequence numbers and reference",
       [](auto& w) { w.creditSequence = w.whtSequence = w.internalReference = ""; },
       {{"12-17", "This field should be number 6 digits"}, {"4-11", "This field should not be space"},
        {"18-19", "This field should be number 2 digits"}}, 30000},
      {"rate 00", [](auto& w) { w.deductRate = "00"; }, {{"121-122", rate0}}, 30000},
      {"rate AB", [](auto& w) { w.deductRate = "AB"; }, {{"121-122", rate2}, {"121-122", rate0}}, 30000},
      {"fifteen-digit tax and a blank", [](auto& w) { w.whtAmount = "000000000003000 "; },
       {{"20-35", "This field should be number "}, {"20-35", digits16}}, 0},
      {"tax with a leading blank", [](auto& w) { w.whtAmount = " 000000000003000"; }, {{"20-35", digits16}}, 0},
      {"tax ending in 5", [](auto& w) { w.whtAmount = amount16(30005); }, {{"20-35", twoDecimals}}, 0},
      {"income type 4", [](auto& w) { w.incomeType = "4"; },
       {{"36-40", "Should be 1-6 or 4a,4b,4b1.1,4b1.2,4b1.3,4b1.4,4b2,4b3"}}, 30000},
      {"type 6 without description", [](auto& w) { w.incomeType = "6", w.description = ""; },
       {{"41-120", "If Income Type is 6 this field should not be space"}}, 30000},
      {"type 1 without description", [](auto& w) { w.description = ""; }, {}, 30000},
      {"income amount zero", [](auto& w) { w.incomeAmount = amount16(0); }, {{"123-138", positive}}, 30000},
      {"income amount letters", [](auto& w) { w.incomeAmount = "ABCDEFGHIJKLMNOP"; }, {{"123-138", positive}}, 30000},
      {"income amount blank", [](auto& w) { w.incomeAmount = ""; }, {{"123-138", digits16}}, 30000},
      {"income amount ending in 5", [](auto& w) { w.incomeAmount = amount16(1000005); },
       {{"123-138", twoDecimals}}, 30000},
      {"negative income amount ending in 5", [](auto& w) { w.incomeAmount = "-000000000000005"; },
       {{"123-138", positive}, {"123-138", twoDecimals}}, 30000},
  };
  // clang-format on
  for (const Case& c : cases) {
    Fixture f;
    f.state.whtDetailSum = 1000;
    WhtFields fields;
    c.change(fields);
    checkWhtRecord(f.context("PAY"), whtLine(fields), 8, 1);
    EXPECT_EQ(f.rows(), c.rows) << c.name;
    EXPECT_EQ(f.state.whtDetailSum, 1000 + c.sumAdded) << c.name;
    EXPECT_EQ(f.state.batchValid, c.rows.empty()) << c.name;
  }
}

TEST(WhtRecord, TypeCountLimitAndPartyCells) {
  const std::vector<std::tuple<int, const char*, bool, const char*, const char*>> cases = {
      {4, "PAY", false, "", ""},    {5, "PAY", true, kAccount, ""}, {5, "XMQ", true, kAccount, ""},
      {5, "MCP", true, "", kPayee}, {5, "CCP", true, "", kPayee},
  };
  for (const auto& [count, product, row, account, payee] : cases) {
    Fixture f;
    checkWhtRecord(f.context(product), whtLine("2", 5000), 11, count);
    const Grid& g = f.form.StringGrid1;
    ASSERT_EQ(g.rowCount(), row ? 3 : 2) << product;
    if (!row) continue;
    EXPECT_EQ(g.cell(1, 1), "005");
    EXPECT_EQ(g.cell(2, 1), "11");
    EXPECT_EQ(g.cell(4, 1), "WHT Income Type");
    EXPECT_EQ(g.cell(5, 1), "should not more three");
    EXPECT_EQ(g.cell(6, 1), account) << product;
    EXPECT_EQ(g.cell(7, 1), payee) << product;
  }
}

TEST(WhtRecord, SumGrowsOverTheLinesOfACredit) {
  Fixture f;
  const std::vector<std::pair<const char*, std::int64_t>> lines = {
      {"1", 30000}, {"4b1.1", 0}, {"6", 1500}, {"4A", 120}};
  for (const auto& [type, tax] : lines) checkWhtRecord(f.context("MCP"), whtLine(type, tax), 5, 3);
  EXPECT_TRUE(f.rows().empty());
  EXPECT_EQ(f.state.whtDetailSum, 31620);
  EXPECT_TRUE(f.state.batchValid);
}

TEST(WhtRecord, AnAmountThatDoesNotConvertStopsTheRunAfterEarlierRows) {
  Fixture f;
  WhtFields w;
  w.internalReference = "";
  w.whtAmount = "E000000000000000";  // a number to isNumber, not to the conversion
  EXPECT_THROW(
      {
        try {
          checkWhtRecord(f.context("PAY"), whtLine(w), 6, 1);
        } catch (const Failure& e) {
          EXPECT_STREQ(e.what(), "'E000000000000000' is not a valid floating point value");
          throw;
        }
      },
      Failure);
  ASSERT_EQ(f.rows().size(), 1u);
  EXPECT_EQ(f.rows()[0].first, "4-11");
}

}  // namespace
}  // namespace bs
