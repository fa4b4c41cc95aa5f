#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reports/money.h"

namespace bs {

// The bank's three-tier tariff for credits to other banks.  Each bound is inclusive; a credit
// above the last bound is not counted in any tier.
inline constexpr Money kTierBound1 = Money::fromUnits(100'000);
inline constexpr Money kTierBound2 = Money::fromUnits(500'000);
inline constexpr Money kTierBound3 = Money::fromUnits(2'000'000);

struct TierCounts {
  long long count1 = 0, count2 = 0, count3 = 0;
};

// Counts the credits of a payment file in the three tiers.  Credits to the home bank are
// skipped, but their amount is converted first, so an amount that does not read as a number
// ends the command whatever the bank.
TierCounts countTierCredits(const std::string& path);

// The eight report variables of the fee report, in the order they are set, with their values
// as plain texts (not yet quoted).
std::vector<std::pair<std::string, std::string>> tierRateVariables(const TierCounts& counts,
                                                                   Money fee1, Money fee2,
                                                                   Money fee3);

// The configured fee per credit of each tier, for the report's "Fee per Credit" column: it is
// printed for a tier without credits too.
std::vector<std::pair<std::string, std::string>> tierFeeVariables(Money fee1, Money fee2,
                                                                  Money fee3);

}  // namespace bs
