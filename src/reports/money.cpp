#include "reports/money.h"

#include "core/failure.h"

namespace bs {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::uint64_t magnitudeOf(Money value) {
  auto raw = static_cast<std::uint64_t>(value.tenThousandths);
  return value.tenThousandths < 0 ? 0 - raw : raw;
}

// |value| rounded to `decimals` places (0 to 4) with halves away from zero, as a count of units
// of that place.
std::uint64_t roundedMagnitude(std::uint64_t magnitude, int decimals) {
  std::uint64_t divisor = 1;
  for (int i = decimals; i < 4; ++i) divisor *= 10;
  return (magnitude + divisor / 2) / divisor;
}

std::string withDecimals(Money value, bool separators) {
  bool negative = value.tenThousandths < 0;
  std::uint64_t magnitude = magnitudeOf(value);
  std::uint64_t cents = roundedMagnitude(magnitude, 2);
  std::string whole = std::to_string(cents / 100);
  if (separators) {
    std::string grouped;
    int n = static_cast<int>(whole.size());
    for (int i = 0; i < n; ++i) {
      if (i > 0 && (n - i) % 3 == 0) grouped += ',';
      grouped += whole[static_cast<std::size_t>(i)];
    }
    whole = grouped;
  }
  std::uint64_t fraction = cents % 100;
  std::string out = negative && cents != 0 ? "-" : "";
  out += whole;
  out += '.';
  out += static_cast<char>('0' + fraction / 10);
  out += static_cast<char>('0' + fraction % 10);
  return out;
}

}  // namespace

std::optional<Money> parseMoney(std::string_view text) {
  std::size_t i = 0, n = text.size();
  while (i < n && isBlank(text[i])) ++i;
  while (n > i && isBlank(text[n - 1])) --n;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The digits as one integer and the position of the point.
  std::string digits;
  int decimals = 0;
  bool seenPoint = false, anyDigit = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (isDigit(c)) {
      anyDigit = true;
      if (digits.empty() && c == '0' && !seenPoint) continue;
      digits += c;
      if (seenPoint) ++decimals;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  int exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negExp = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negExp = text[i++] == '-';
    if (i >= n || !isDigit(text[i])) return std::nullopt;
    for (; i < n && isDigit(text[i]); ++i) {
      if (exponent > 100) return std::nullopt;
      exponent = exponent * 10 + (text[i] - '0');
    }
    if (negExp) exponent = -exponent;
  }
  if (i != n) return std::nullopt;
  // value = digits * 10^(exponent - decimals); wanted: value * 10^4.
  int shift = exponent - decimals + 4;
  std::int64_t result = 0;
  if (shift >= 0) {
    if (digits.size() + static_cast<std::size_t>(shift) > 18) {
      if (!digits.empty()) return std::nullopt;
    }
    for (char c : digits) result = result * 10 + (c - '0');
    for (int k = 0; k < shift && result != 0; ++k) result *= 10;
  } else {
    std::size_t drop = static_cast<std::size_t>(-shift);
    std::size_t keep = digits.size() > drop ? digits.size() - drop : 0;
    if (keep > 18) return std::nullopt;
    for (std::size_t k = 0; k < keep; ++k) result = result * 10 + (digits[k] - '0');
    // Half away from zero: the first dropped digit decides.
    std::size_t firstDropped = keep;
    if (drop <= digits.size() && firstDropped < digits.size() && digits[firstDropped] >= '5')
      ++result;
  }
  return Money{negative ? -result : result};
}

Money toMoney(std::string_view text) {
  if (auto value = parseMoney(text)) return *value;
  throw Failure("'" + std::string(text) + "' is not a valid floating point value");
}

Money amountFromFields(std::string_view whole, std::string_view decimals) {
  auto blank = [](std::string_view s) {
    for (char c : s)
      if (c != ' ') return false;
    return true;
  };
  if (blank(whole) && blank(decimals)) return Money{};
  // The usual field, 13 digits and 3 digits, is read as it stands; anything else goes through
  // the joined text.
  auto digitsValue = [](std::string_view s, std::int64_t& value) {
    value = 0;
    for (char c : s) {
      if (!isDigit(c)) return false;
      value = value * 10 + (c - '0');
    }
    return true;
  };
  std::int64_t units = 0, thousandths = 0;
  if (whole.size() == 13 && decimals.size() == 3 && digitsValue(whole, units) &&
      digitsValue(decimals, thousandths))
    return Money{units * Money::kScale + thousandths * 10};
  std::string joined(whole);
  joined += '.';
  joined += decimals;
  return toMoney(joined);
}

std::string formatThousands(Money value) {
  return withDecimals(value, true);
}
std::string formatPlain(Money value) {
  return withDecimals(value, false);
}

std::string formatGeneral(Money value) {
  bool negative = value.tenThousandths < 0;
  std::uint64_t magnitude = magnitudeOf(value);
  std::string out = negative ? "-" : "";
  out += std::to_string(magnitude / Money::kScale);
  std::uint64_t fraction = magnitude % Money::kScale;
  if (fraction != 0) {
    std::string f = std::to_string(fraction);
    f.insert(0, 4 - f.size(), '0');
    while (f.back() == '0') f.pop_back();
    out += '.';
    out += f;
  }
  return out;
}

}  // namespace bs
