#include "support/faulty_sample.h"

#include <set>
#include <vector>

#include "rules/record_fields.h"
#include "support/payment_file.h"
#include "support/record_lines.h"
#include "support/test_support.h"

namespace bs::test {

std::span<const PlantedFault> plantedFaults() {
  namespace f = fields;
  static const PlantedFault faults[] = {
      {"001", f::header::fileDate, "2030121O"},
      {"002", f::debit::currency, "USD"},
      {"003", f::credit::amount, "0000000025500001"},
      {"004", f::payee::creditSequence, "00001O"},
      {"005", f::wht::deductRate, "00"},
      {"006", f::invoice::date, "20301399"},
      {"007", f::directDebit::currency, "USD"},
      {"008", f::directDebitItem::currency, "EUR"},
      {"999", f::trailer::debitCount, "00000X"},
  };
  return faults;
}

std::string withPlantedFaults(std::string_view clean) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < clean.size();) {
    std::size_t end = clean.find("\r\n", at);
    if (end == std::string_view::npos) end = clean.size();
    lines.emplace_back(clean.substr(at, end - at));
    at = end + 2;
  }
  const auto trailer = lines.empty() ? lines.end() : lines.end() - 1;
  lines.insert(trailer, {directDebitLine(kFarValueDate), directDebitItemLine(1)});
  std::set<std::string_view> planted;
  for (std::string& line : lines)
    for (const PlantedFault& p : plantedFaults())
      if (line.compare(0, 3, p.recordType) == 0 && planted.insert(p.recordType).second)
        line = withField(line, p.field.first, p.field.last, p.value);
  return joinLines(lines);
}

std::string faultySample() {
  return withPlantedFaults(
      readFile(std::string(BATCHSEAL_SOURCE_DIR) + "/examples/sample-payment.txt"));
}

}  // namespace bs::test
