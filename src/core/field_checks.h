#pragma once

#include <cstdint>
#include <string_view>

namespace bs {

// The field-check primitives shared by every record rule.  All take byte texts cut from the
// payment file.  isNumber and isNameTextClean never fail; the conversions throw Failure with
// the exact message the user sees, which ends the running command.

// Leading spaces (0x20 only), at most one sign, then a non-empty body: digits, optionally '.'
// and digits, optionally an exponent (E or e, optional sign, one or more digits).  Nothing may
// follow.  The text is examined up to its first NUL byte.
bool isNumber(std::string_view text);

// Optional leading spaces, then an optional sign and decimal digits, or (without a sign) one of
// the prefixes $, x, X, 0x, 0X and hexadecimal digits; the value fits a signed 32-bit integer.
// Otherwise throws Failure("'<text>' is not a valid integer value").
std::int32_t toInteger(std::string_view text);
// The same test without the throw.
bool tryToInteger(std::string_view text, std::int32_t& value);

// Optional spaces, optional sign, digits, optional point and digits (a digit or the point must be
// present), optional exponent letter with optional sign and digits, optional trailing spaces.
// Otherwise throws Failure("'<text>' is not a valid floating point value").
long double toFloat(std::string_view text);

// A home-bank account number with a correct check digit (10 digits, or 11 with the 4th dropped).
// Throws the integer-conversion failure for a character that passes isNumber but not toInteger.
bool isHomeAccount(std::string_view text);

// None of the first `width` bytes is one of the 23 forbidden bytes.
bool isNameTextClean(std::string_view text, std::size_t width);

// isNumber, a value not zero, and exactly 16 characters after trimming.
bool isAmount16(std::string_view text);
// isNumber, a value above zero, and exactly 2 characters after trimming.
bool isCount2(std::string_view text);
// Year, month and day convert with toInteger (a refusal makes the date invalid) and form a real
// Gregorian date with 1 <= year <= 9999.
bool isValidDate(std::string_view year, std::string_view month, std::string_view day);

}  // namespace bs
