#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bs {

// A money value in fixed point: a 64-bit count of ten-thousandths, so that sums are exact.
struct Money {
  std::int64_t tenThousandths = 0;

  static constexpr std::int64_t kScale = 10000;
  static constexpr Money fromUnits(std::int64_t whole) { return Money{whole * kScale}; }
  friend constexpr Money operator+(Money a, Money b) {
    return Money{a.tenThousandths + b.tenThousandths};
  }
  friend constexpr Money operator*(Money a, std::int64_t n) { return Money{a.tenThousandths * n}; }
  Money& operator+=(Money other) {
    tenThousandths += other.tenThousandths;
    return *this;
  }
  friend constexpr auto operator<=>(Money, Money) = default;
};

// Reads a decimal number: blanks before and after, an optional sign, digits with an optional
// point and decimals (at least one digit), an optional exponent.  Decimals beyond the fourth are
// rounded half away from zero.  Nothing, or a value too large for the fixed point, when the text
// does not read as a number.
std::optional<Money> parseMoney(std::string_view text);

// parseMoney, or the conversion failure "'<text>' is not a valid floating point value".
Money toMoney(std::string_view text);

// An amount field of the payment file: `whole` (13 digits) and `decimals` (3 digits) joined by a
// point.  A field made only of blanks reads as 0; any other text that does not read as a number
// ends the command with the conversion failure naming the joined text.
Money amountFromFields(std::string_view whole, std::string_view decimals);

// "#,##0.00": at least one integer digit, thousands separators, exactly two decimals.
std::string formatThousands(Money value);
// "#0.00": no separators, exactly two decimals.
std::string formatPlain(Money value);
// The general currency format: the shortest plain form, no separators, no trailing zeros after
// the point, no point for a whole number (150, 150.5, 0.75).
std::string formatGeneral(Money value);

}  // namespace bs
