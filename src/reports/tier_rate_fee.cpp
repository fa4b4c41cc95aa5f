#include "reports/tier_rate_fee.h"

#include "core/text_lines.h"
#include "rules/products.h"

namespace bs {

TierCounts countTierCredits(const std::string& path) {
  TierCounts counts;
  LineReader reader(path);
  std::string_view line;
  while (reader.next(line)) {
    if (cut(line, 1, 3) != "003") continue;
    Money amount = amountFromFields(cut(line, 35, 47), cut(line, 48, 50));
    if (cut(line, 181, 183) == homeBankCode) continue;
    if (amount <= kTierBound1)
      ++counts.count1;
    else if (amount <= kTierBound2)
      ++counts.count2;
    else if (amount <= kTierBound3)
      ++counts.count3;
  }
  return counts;
}

std::vector<std::pair<std::string, std::string>> tierRateVariables(const TierCounts& c, Money fee1,
                                                                   Money fee2, Money fee3) {
  Money total1 = fee1 * c.count1;
  Money total2 = fee2 * c.count2;
  Money total3 = fee3 * c.count3;
  return {
      {"report_range1", std::to_string(c.count1)},
      {"report_range2", std::to_string(c.count2)},
      {"report_range3", std::to_string(c.count3)},
      {"report_total_range", std::to_string(c.count1 + c.count2 + c.count3)},
      {"report_total_fee_range1", formatGeneral(total1)},
      {"report_total_fee_range2", formatGeneral(total2)},
      {"report_total_fee_range3", formatGeneral(total3)},
      {"report_total_fee_range", formatGeneral(total1 + total2 + total3)},
  };
}

std::vector<std::pair<std::string, std::string>> tierFeeVariables(Money fee1, Money fee2,
                                                                  Money fee3) {
  return {{"report_fee_range1", formatGeneral(fee1)},
          {"report_fee_range2", formatGeneral(fee2)},
          {"report_fee_range3", formatGeneral(fee3)}};
}

}  // namespace bs
