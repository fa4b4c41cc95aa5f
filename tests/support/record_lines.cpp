#include "support/record_lines.h"

#include <stdexcept>
#include <utility>

#include "core/error_list.h"
#include "core/grid.h"
#include "rules/products.h"
#include "support/test_support.h"

namespace bs::test {

std::string digits(long long value, std::size_t width) {
  std::string text = std::to_string(value);
  if (value < 0 || text.size() > width) throw std::invalid_argument("value does not fit");
  return std::string(width - text.size(), '0') + text;
}

std::string homeAccountWithCheckDigit(std::string_view nineDigits) {
  static constexpr int weights[9] = {4, 3, 2, 7, 6, 5, 4, 3, 2};
  if (nineDigits.size() != 9) throw std::invalid_argument("nine digits expected");
  int sum = 0;
  for (std::size_t k = 0; k < 9; ++k) sum += weights[k] * (nineDigits[k] - '0');
  int r = sum % 10;
  return std::string(nineDigits) + static_cast<char>('0' + (r == 0 ? 0 : 10 - r));
}

std::string amount16(long long thousandths) {
  return digits(thousandths, 16);
}

std::string withField(std::string line, std::size_t first, std::size_t last,
                      std::string_view text) {
  if (first < 1 || last < first) throw std::invalid_argument("bad columns");
  if (line.size() < last) line.resize(last, ' ');
  for (std::size_t i = 0; i < last - first + 1; ++i)
    line[first - 1 + i] = i < text.size() ? text[i] : ' ';
  return line;
}

std::string headerLine(std::string_view companyId) {
  return LineBuilder("001", 96)
      .set(4, 15, companyId)
      .set(16, 47, "CUSTOMER REFERENCE 0001")
      .set(48, 55, kToday)
      .set(56, 61, "093000")
      .set(62, 64, "BCM");
}

std::string debitLine(std::string_view product, long long amount, long credits,
                      std::string_view valueDate, std::string_view account) {
  LineBuilder line("002", 109);
  line.set(4, 6, product)
      .set(7, 14, valueDate)
      .set(15, 39, account)
      .set(40, 41, "01")
      .set(42, 45, "0001")
      .set(46, 48, "THB")
      .set(49, 64, amount16(amount))
      .set(65, 72, "REF00001")
      .set(73, 78, digits(credits, 6))
      .set(104, 105, "01")
      .set(106, 109, "0001");
  if (isMediaClearingProduct(product))
    line.set(79, 93, kHomeAccount);  // filler and Media Circle stay blank
  else if (product != "BNT")
    line.set(79, 103, kHomeAccount);
  return line;
}

std::string trailerLine(long debits, long credits, long long totalAmount) {
  return LineBuilder("999", 31)
      .set(4, 9, digits(debits, 6))
      .set(10, 15, digits(credits, 6))
      .set(16, 31, amount16(totalAmount));
}

std::string directDebitLine(std::string_view valueDate, std::string_view account) {
  return LineBuilder("007", 300)
      .set(4, 6, directDebitProduct)
      .set(7, 14, "DDREF001")
      .set(15, 22, valueDate)
      .set(23, 24, "01")
      .set(25, 49, account)
      .set(59, 83, account)
      .set(93, 95, "THB");
}

std::string directDebitItemLine(long sequence, std::string_view account) {
  return LineBuilder("008", 200)
      .set(4, 11, "DDREF001")
      .set(12, 17, digits(sequence, 6))
      .set(18, 42, account)
      .set(43, 45, "THB");
}

std::string withFields(std::string line, const std::vector<FieldEdit>& edits) {
  for (const FieldEdit& e : edits) line = withField(std::move(line), e.first, e.last, e.text);
  return line;
}

std::vector<ErrorRowText> errorRows(const Grid& grid) {
  std::vector<ErrorRowText> rows;
  for (int r = 1; r + 1 < grid.rowCount(); ++r) {
    auto c = [&](int col) { return std::string(grid.cell(col, r)); };
    rows.push_back({c(1), c(2), c(3), c(4), c(5), c(6), c(7)});
  }
  return rows;
}

RuleBench::RuleBench(std::string_view today) : clock(Clock::fixed(std::string(today))) {
  setUpErrorList(form);
  state.batchValid = true;
}

std::ostream& operator<<(std::ostream& os, const Fault& f) {
  return os << "{" << f.columns << " | " << f.field << " | \"" << f.message << "\"}";
}

std::vector<Fault> RuleBench::faults() const {
  std::vector<Fault> out;
  for (const auto& row : rows()) out.push_back({row.column, row.fieldName, row.message});
  return out;
}

std::vector<std::string> RuleBench::messages() const {
  std::vector<std::string> out;
  for (const auto& row : rows()) out.push_back(row.message);
  return out;
}

}  // namespace bs::test
