#include "reports/money.h"

#include <gtest/gtest.h>

#include "core/failure.h"

namespace bs {
namespace {

struct FormatCase {
  std::int64_t tenThousandths;
  const char* thousands;
  const char* plain;
  const char* general;
};

TEST(MoneyFormat, TheThreeFormatsOfTheSummaryAndTheReports) {
  const FormatCase cases[] = {
      {0, "0.00", "0.00", "0"},
      {7500, "0.75", "0.75", "0.75"},
      {1500000, "150.00", "150.00", "150"},
      {1505000, "150.50", "150.50", "150.5"},
      {12345678900, "1,234,567.89", "1234567.89", "1234567.89"},
      {10000000000, "1,000,000.00", "1000000.00", "1000000"},
      {1234, "0.12", "0.12", "0.1234"},
      {1250, "0.13", "0.13", "0.125"},  // halves round away from zero
      {-1505000, "-150.50", "-150.50", "-150.5"},
  };
  for (const auto& c : cases) {
    Money m{c.tenThousandths};
    EXPECT_EQ(formatThousands(m), c.thousands) << c.tenThousandths;
    EXPECT_EQ(formatPlain(m), c.plain) << c.tenThousandths;
    EXPECT_EQ(formatGeneral(m), c.general) << c.tenThousandths;
  }
  // The largest amount of a 16-character field: 13 whole digits.
  Money largest = toMoney("9999999999999.990");
  EXPECT_EQ(formatThousands(largest), "9,999,999,999,999.99");
  EXPECT_EQ(formatPlain(largest), "9999999999999.99");
}

TEST(MoneyParse, DecimalTextsAndTheirRefusals) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> value;
  };
  const Case cases[] = {
      {"0000000001500.000", 15000000},
      {"  150.5  ", 1505000},
      {"35.5", 355000},
      {"-2", -20000},
      {"+2.", 20000},
      {".25", 2500},
      {"1e2", 1000000},
      {"1.23456", 12346},  // beyond four decimals: rounded
      {"", std::nullopt},
      {".", std::nullopt},
      {"12a", std::nullopt},
      {"1 000", std::nullopt},
      {"1e", std::nullopt},
      {"99999999999999999999", std::nullopt},  // beyond the fixed point's range
  };
  for (const auto& c : cases) {
    auto got = parseMoney(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << c.text;
    if (got) {
      EXPECT_EQ(got->tenThousandths, *c.value) << c.text;
    }
  }
}

TEST(MoneyParse, AmountFieldsReadBlanksAsZeroAndNameTheTextTheyRefuse) {
  EXPECT_EQ(amountFromFields("             ", "   ").tenThousandths, 0);
  EXPECT_EQ(amountFromFields("0000000100000", "010").tenThousandths, 1000000100);
  try {
    amountFromFields("00000001X0000", "000");
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_STREQ(f.what(), "'00000001X0000.000' is not a valid floating point value");
  }
  try {
    toMoney("");
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_STREQ(f.what(), "'' is not a valid floating point value");
  }
}

}  // namespace
}  // namespace bs
