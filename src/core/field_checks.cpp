#include "core/field_checks.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "core/failure.h"
#include "core/text_lines.h"

namespace bs {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether the eight bytes at `p` are all ASCII digits: each byte has the high nibble 3 and, with
// 6 added, still has it (no byte above '9' passes; no carry crosses a byte once the first test
// holds).
bool eightDigits(const char* p) {
  std::uint64_t x = 0;
  std::memcpy(&x, p, sizeof x);
  constexpr std::uint64_t high = 0xF0F0F0F0F0F0F0F0u;
  constexpr std::uint64_t threes = 0x3030303030303030u;
  return (x & high) == threes && ((x + 0x0606060606060606u) & high) == threes;
}

// The value of the eight digits at `p` (eightDigits holds): pairs, then fours, then all eight are
// combined, each step in the lanes of the one 64-bit word (the first digit in the lowest byte).
std::uint64_t eightDigitsValue(const char* p) {
  std::uint64_t x = 0;
  std::memcpy(&x, p, sizeof x);
  x -= 0x3030303030303030u;
  x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFu;
  x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFu;
  return (x * 10000 + (x >> 32)) & 0xFFFFFFFFu;
}

// The end of the run of digits that starts at `i`.  Fields are mostly digits: eight are judged at
// a time.
std::size_t digitsEnd(std::string_view text, std::size_t i) {
  const std::size_t n = text.size();
  while (n - i >= 8 && eightDigits(text.data() + i)) i += 8;
  while (i < n && isDigit(text[i])) ++i;
  return i;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

[[noreturn]] void integerRefused(std::string_view text) {
  throw Failure("'" + std::string(text) + "' is not a valid integer value");
}

[[noreturn]] void floatRefused(std::string_view text) {
  throw Failure("'" + std::string(text) + "' is not a valid floating point value");
}

// The 23 bytes a name may not hold.
constexpr std::array<bool, 256> forbiddenNameBytes = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : {0x21, 0x23, 0x24, 0x25, 0x2A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x5B,
                          0x5C, 0x5D, 0x5E, 0x5F, 0x7B, 0x7C, 0x7D, 0x82, 0x84, 0x91, 0x98})
    table[c] = true;
  return table;
}();

// A plain decimal (no exponent) is read with one division when the integer of its significant
// digits and 10 to the power of its decimals are both exact in extended precision: the quotient
// of two exact values is correctly rounded, as the library's conversion is.  Other texts go
// through the library.
constexpr int kMantissaBits = std::numeric_limits<long double>::digits;
// 2^mantissa: every integer below it is exact.
constexpr long double kExactIntegerLimit = [] {
  long double limit = 1;
  for (int i = 0; i < kMantissaBits; ++i) limit *= 2;
  return limit;
}();
// The most significant digits whose every integer is exact and fits 64 bits.
constexpr int kExactSignificantDigits = [] {
  int digits = 0;
  long double next = 10;  // 10^(digits + 1)
  while (digits < 19 && next - 1 < kExactIntegerLimit) {
    ++digits;
    next *= 10;
  }
  return digits;
}();
// The most decimals whose power of ten is exact: 10^k = 2^k * 5^k needs 5^k below the limit.
constexpr int kExactDecimals = [] {
  int k = 0;
  long double five = 5;  // 5^(k + 1)
  while (five < kExactIntegerLimit) {
    ++k;
    five *= 5;
  }
  return k;
}();
static_assert(kMantissaBits != 64 || (kExactSignificantDigits == 19 && kExactDecimals == 27));
constexpr std::array<long double, kExactDecimals + 1> kPowersOfTen = [] {
  std::array<long double, kExactDecimals + 1> powers{};
  long double p = 1;
  for (auto& power : powers) {
    power = p;
    p *= 10;
  }
  return powers;
}();

bool readExactDecimal(std::string_view intDigits, std::string_view fracDigits, long double& value) {
  if (fracDigits.size() > static_cast<std::size_t>(kExactDecimals)) return false;
  std::uint64_t digits = 0;
  int significant = 0;
  for (std::string_view part : {intDigits, fracDigits}) {
    for (char c : part) {
      if (significant == 0 && c == '0') continue;
      if (++significant > kExactSignificantDigits) return false;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }
  }
  value = static_cast<long double>(digits) / kPowersOfTen[fracDigits.size()];
  return true;
}

}  // namespace

bool isNumber(std::string_view text) {
  // A NUL byte ends the text.  The grammar never takes one, so the scan stops at the first NUL
  // of its own accord, and that place counts as the end.
  std::size_t i = 0;
  const std::size_t n = text.size();
  const auto atEnd = [&] { return i == n || text[i] == '\0'; };
  while (i < n && text[i] == ' ') ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  if (atEnd()) return false;  // the body may not be empty
  i = digitsEnd(text, i);
  if (i < n && text[i] == '.') i = digitsEnd(text, i + 1);
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t digitsFrom = i;
    i = digitsEnd(text, i);
    if (i == digitsFrom) return false;
  }
  return atEnd();
}

bool tryToInteger(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  if (i == n) return false;

  std::int64_t magnitude = 0;
  if (text[i] == '$' || text[i] == 'x' || text[i] == 'X' ||
      (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X'))) {
    i += text[i] == '0' ? 2 : 1;
    if (i == n) return false;
    for (; i < n; ++i) {
      const int d = hexValue(text[i]);
      if (d < 0) return false;
      magnitude = magnitude * 16 + d;
      if (magnitude > INT32_MAX) return false;
    }
    value = static_cast<std::int32_t>(magnitude);
    return true;
  }

  bool negative = false;
  if (text[i] == '+' || text[i] == '-') {
    negative = text[i] == '-';
    ++i;
  }
  if (i == n) return false;
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
  for (; i < n; ++i) {
    if (!isDigit(text[i])) return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

std::int32_t toInteger(std::string_view text) {
  std::int32_t value = 0;
  if (!tryToInteger(text, value)) integerRefused(text);
  return value;
}

long double toFloat(std::string_view text) {
  const std::size_t n = text.size();
  // Most fields are plain digits (an amount of 16): such a text short enough to be exact is its
  // value, as the general reading below gives it.
  if (n > 0 && n <= static_cast<std::size_t>(kExactSignificantDigits)) {
    std::uint64_t digits = 0;
    std::size_t k = 0;
    for (; n - k >= 8 && eightDigits(text.data() + k); k += 8)
      digits = digits * 100000000 + eightDigitsValue(text.data() + k);
    while (k < n && isDigit(text[k]))
      digits = digits * 10 + static_cast<std::uint64_t>(text[k++] - '0');
    if (k == n) return static_cast<long double>(digits);
  }
  std::size_t i = 0;
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t intFrom = i;
  while (i < n && isDigit(text[i])) ++i;
  const std::string_view intDigits = text.substr(intFrom, i - intFrom);
  bool point = false;
  std::string_view fracDigits;
  if (i < n && text[i] == '.') {
    point = true;
    const std::size_t fracFrom = ++i;
    while (i < n && isDigit(text[i])) ++i;
    fracDigits = text.substr(fracFrom, i - fracFrom);
  }
  if (intDigits.empty() && fracDigits.empty() && !point) floatRefused(text);
  bool expNegative = false;
  std::string_view expDigits;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      expNegative = text[i] == '-';
      ++i;
    }
    const std::size_t expFrom = i;
    while (i < n && isDigit(text[i])) ++i;
    expDigits = text.substr(expFrom, i - expFrom);  // may be empty: the exponent is then 0
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) floatRefused(text);

  long double value = 0;
  if (expDigits.empty() && readExactDecimal(intDigits, fracDigits, value))
    return negative ? -value : value;

  // A canonical form that from_chars reads the same in every locale.
  std::string canonical;
  canonical.reserve(intDigits.size() + fracDigits.size() + expDigits.size() + 6);
  canonical.append(intDigits.empty() ? std::string_view("0") : intDigits);
  canonical.push_back('.');
  canonical.append(fracDigits.empty() ? std::string_view("0") : fracDigits);
  if (!expDigits.empty()) {
    canonical.push_back('e');
    if (expNegative) canonical.push_back('-');
    canonical.append(expDigits);
  }
  const auto [end, ec] =
      std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // A vanishing value reads as zero; a value beyond the extended range is refused.
    if (!expNegative) floatRefused(text);
    value = 0;
  } else if (ec != std::errc() || end != canonical.data() + canonical.size()) {
    floatRefused(text);
  }
  return negative ? -value : value;
}

bool isHomeAccount(std::string_view text) {
  if (!isNumber(text) || (text.size() != 10 && text.size() != 11)) return false;
  std::string ten(text);
  if (ten.size() == 11) ten.erase(3, 1);  // the branch separator in the 4th place is not a digit

  static constexpr int weights[9] = {4, 3, 2, 7, 6, 5, 4, 3, 2};
  int digits[10];
  for (int k = 0; k < 10; ++k) digits[k] = toInteger(std::string_view(&ten[k], 1));
  int sum = 0;
  for (int k = 0; k < 9; ++k) sum += weights[k] * digits[k];
  const int r = sum % 10;
  const int checkDigit = r == 0 ? 0 : 10 - r;
  // Every character converted to a digit, so the number is zero exactly when all ten are '0'.
  const bool zero = ten.find_first_not_of('0') == std::string::npos;
  return checkDigit == digits[9] && !zero;
}

bool isNameTextClean(std::string_view text, std::size_t width) {
  const std::size_t n = width < text.size() ? width : text.size();
  for (std::size_t i = 0; i < n; ++i)
    if (forbiddenNameBytes[static_cast<unsigned char>(text[i])]) return false;
  return true;
}

bool isAmount16(std::string_view text) {
  if (!isNumber(text)) return false;
  if (toFloat(text) == 0) return false;
  return trim(text).size() == 16;
}

bool isCount2(std::string_view text) {
  if (!isNumber(text)) return false;
  if (!(toFloat(text) > 0)) return false;
  return trim(text).size() == 2;
}

bool isValidDate(std::string_view year, std::string_view month, std::string_view day) {
  std::int32_t y = 0, m = 0, d = 0;
  if (!tryToInteger(year, y) || !tryToInteger(month, m) || !tryToInteger(day, d)) return false;
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static constexpr int monthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
  const int days = m == 2 && leap ? 29 : monthDays[m - 1];
  return d <= days;
}

}  // namespace bs
