#include "reports/tier_rate_fee.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "report_fixtures.h"

namespace bs {
namespace {

TierCounts countLines(const test::TempDir& dir, const std::vector<std::string>& lines) {
  auto path = dir / "fee.txt";
  test::writeFile(path, test::joinLines(lines));
  return countTierCredits(path.string());
}

TEST(TierRateFee, BoundsAreInclusiveAndHomeBankCreditsAreSkipped) {
  struct Case {
    long long thousandths;
    const char* bank;
    int tier;  // 0: counted nowhere
  };
  const Case cases[] = {
      {0, "025", 1},          {100000000, "025", 1},  // 100,000.00
      {100000010, "025", 2},                          // 100,000.01
      {500000000, "025", 2},                          // 500,000.00
      {500000010, "025", 3},                          // 500,000.01
      {2000000000, "025", 3},                         // 2,000,000.00
      {2000000010, "025", 0},                         // 2,000,000.01
      {1000, "014", 0},                               // the home bank
      {600000000, "014", 0},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    TierCounts n = countLines(
        dir, {reptest::headerLine("C", "R"), reptest::creditLine("1", c.thousandths, c.bank),
              reptest::trailerLine(1, c.thousandths)});
    long long got[4] = {0, n.count1, n.count2, n.count3};
    for (int t = 1; t <= 3; ++t)
      EXPECT_EQ(got[t], t == c.tier ? 1 : 0) << c.thousandths << " bank " << c.bank;
  }
}

TEST(TierRateFee, BlankAmountCountsInTheFirstTierAndABadOneStopsEvenForTheHomeBank) {
  test::TempDir dir;
  std::string blank = reptest::creditLine("1", 0);
  blank.replace(34, 16, std::string(16, ' '));
  EXPECT_EQ(countLines(dir, {blank}).count1, 1);

  std::string bad = reptest::creditLine("1", 0, "014");
  bad.replace(34, 3, "ABC");
  try {
    countLines(dir, {bad});
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_STREQ(f.what(), "'ABC0000000000.000' is not a valid floating point value");
  }
}

TEST(TierRateFee, EightVariablesInOrderWithExactFixedPointFees) {
  auto vars = tierRateVariables({3, 2, 1}, toMoney("10"), toMoney("20"), toMoney("35.5"));
  std::vector<std::pair<std::string, std::string>> want{{"report_range1", "3"},
                                                        {"report_range2", "2"},
                                                        {"report_range3", "1"},
                                                        {"report_total_range", "6"},
                                                        {"report_total_fee_range1", "30"},
                                                        {"report_total_fee_range2", "40"},
                                                        {"report_total_fee_range3", "35.5"},
                                                        {"report_total_fee_range", "105.5"}};
  EXPECT_EQ(vars, want);
  // Fees that a double would not hold exactly still add up exactly.
  auto exact = tierRateVariables({3, 0, 0}, toMoney("0.1"), toMoney("0"), toMoney("0"));
  EXPECT_EQ(exact[7].second, "0.3");
}

}  // namespace
}  // namespace bs
