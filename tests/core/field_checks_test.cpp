#include "core/field_checks.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "core/failure.h"

namespace bs {
namespace {

using namespace std::string_literals;

struct TextCase {
  std::string text;
  bool expected;
};

TEST(IsNumber, Grammar) {
  const TextCase cases[] = {
      {"0000000001000.00", true},
      {"   42", true},
      {"42 ", false},
      {".", true},
      {"-.", true},
      {"E5", true},
      {"e5", true},
      {".E1", true},
      {"1.e2", true},
      {"1E-05", true},
      {"+7", true},
      {"e", false},
      {"1e", false},
      {"1e+", false},
      {"", false},
      {"   ", false},
      {"-", false},
      {"+", false},
      {"1,000", false},
      {"0x10", false},
      {"$10", false},
      {"1.5.", false},
      {"\t42", false},
      {"+-1", false},
      {"1e5.0", false},
      // Digits are judged eight at a time: a stray byte in any place of the eight, and the bytes
      // just beside '0' and '9', stop the run.
      {"1234567890123456", true},
      {"1234567/90123456", false},
      {"12345678:0123456", false},
      {"1234567890123\xB0", false},
      {"123456789012345.678", true},
      {"12345678E12345678", true},
      // Examined up to the first NUL only.
      {"12\0xyz"s, true},
      {"\0"s
       "12"s,
       false},
  };
  for (const auto& c : cases) EXPECT_EQ(isNumber(c.text), c.expected) << "'" << c.text << "'";
}

TEST(ToInteger, AcceptedTexts) {
  const struct {
    std::string text;
    std::int32_t value;
  } cases[] = {
      {"0", 0},
      {"  42", 42},
      {"+17", 17},
      {"-17", -17},
      {"007", 7},
      {"$7E8", 2024},
      {"x1f", 31},
      {"X1F", 31},
      {"0x10", 16},
      {"0XfF", 255},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", 2147483647},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(toInteger(c.text), c.value) << c.text;
    std::int32_t v = 0;
    EXPECT_TRUE(tryToInteger(c.text, v)) << c.text;
  }
}

TEST(ToInteger, RefusedTextsNameThemselves) {
  const std::string cases[] = {
      "",  " ",  "   ", "42 ", "4 2",        "-",           "+",         "1.0", "1e2",   "-0x10",
      "$", "0x", "x",   "$G",  "2147483648", "-2147483649", "$80000000", "\t1", "1,000", "--1",
  };
  for (const auto& text : cases) {
    std::int32_t v = 0;
    EXPECT_FALSE(tryToInteger(text, v)) << "'" << text << "'";
    try {
      toInteger(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const Failure& f) {
      EXPECT_EQ(std::string(f.what()), "'" + text + "' is not a valid integer value");
    }
  }
}

TEST(ToFloat, AcceptedTexts) {
  const struct {
    std::string text;
    long double value;
  } cases[] = {
      {"0000000001000000", 1000000.0L},
      {"  12.5  ", 12.5L},
      {"-3", -3.0L},
      {"+.5", 0.5L},
      {"5.", 5.0L},
      {".", 0.0L},
      {"1e", 1.0L},
      {"1e+", 1.0L},
      {"1E-05", 1e-5L},
      {"2.5e3", 2500.0L},
      // Extended precision keeps the 64-bit integers of long amount texts exact.
      {"9999999999999999", 9999999999999999.0L},
      {"1234567890123456789", 1234567890123456789.0L},
      {"0000000100000001", 100000001.0L},
  };
  for (const auto& c : cases) EXPECT_EQ(toFloat(c.text), c.value) << c.text;
}

// Plain decimals are read with a shortcut; they must come out bit for bit as the library reads
// them, on both sides of the shortcut's limits (19 significant digits, 27 decimals).
TEST(ToFloat, PlainDecimalsReadAsTheLibraryReadsThem) {
  auto library = [](const std::string& text) {
    long double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
    return value;
  };
  auto expectSame = [&](const std::string& text) {
    const long double expected = library(text);
    const long double got = toFloat(text);
    EXPECT_TRUE(got == expected && std::signbit(got) == std::signbit(expected))
        << text << ": " << static_cast<double>(got);
  };
  const std::string cases[] = {
      "0.0",
      "-0.0",
      "0.1",
      "0.3",
      "-1.7",
      "123.456",
      "0000000000000.010",
      "9999999999999.990",
      "0.1234567890123456789",
      "0.9999999999999999999",
      "9999999999999999999.0",           // 19 significant digits, the most the shortcut takes
      "18446744073709551615.0",          // 20
      "9007199254740993.0",              // 2^53 + 1, beyond a double
      "0.000000000000000000000000001",   // 27 decimals
      "0.0000000000000000000000000001",  // 28
      "1.000000000000000000000000000",   // 28 significant digits, the zeros count
      "00000000000000000000000000001.5",
  };
  for (const auto& text : cases) expectSame(text);

  // Random decimals of 1 to 21 significant digits with 0 to 28 decimals.
  std::mt19937_64 random(20241209);
  for (int round = 0; round < 50000; ++round) {
    const std::size_t significant = 1 + random() % 21;
    const std::size_t decimals = random() % 29;
    // Runs of 0 and 9 reach the rounding boundaries more often than uniform digits do.
    const bool nines = random() % 3 == 0;
    std::string number(1, char('1' + random() % 9));
    while (number.size() < significant)
      number += nines ? "09"[random() % 2] : char('0' + random() % 10);
    std::string text = random() % 4 == 0 ? "-" : "";
    if (decimals >= significant)
      text += "0." + std::string(decimals - significant, '0') + number;
    else
      text += number.substr(0, significant - decimals) + "." +
              (decimals ? number.substr(significant - decimals) : "0");
    expectSame(text);
    if (HasFailure()) break;
  }
}

TEST(ToFloat, RefusedTextsNameThemselves) {
  const std::string cases[] = {"", "  ", "E5", "e5", "-", "1.5.", "1,0", "0x10", "1 2", "\t1"};
  for (const auto& text : cases) {
    try {
      toFloat(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const Failure& f) {
      EXPECT_EQ(std::string(f.what()), "'" + text + "' is not a valid floating point value");
    }
  }
}

TEST(IsHomeAccount, CheckDigitAndLength) {
  const TextCase cases[] = {
      {"1234567896", true},                            // s = 174, r = 4, check digit 6
      {"1234567890", false},   {"12304567896", true},  // the 4th character is dropped
      {"123.4567896", true},    // a point in the 4th place is dropped with it
      {"0000000000", false},    // check digit right, value zero
      {"123456789612", false},  // 12 digits
      {"123456789", false},     // 9 digits
      {"12345678a6", false},    // not a number
      {"0000000018", true},     // s = 2, check digit 8
      {"0000000050", true},     // s = 10, r = 0, check digit 0
      {"0000000051", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isHomeAccount(c.text), c.expected) << c.text;
}

TEST(IsHomeAccount, ConversionErrorsStopTheRun) {
  const struct {
    std::string text;
    std::string refused;
  } cases[] = {
      {" 123456789", " "},  // a leading space passes isNumber but not the digit conversion
      {"123456789.", "."}, {"-123456789", "-"},
      {"12345678E9", "E"}, {"1234567.e1", "."},  // the first offending character is named
  };
  for (const auto& c : cases) {
    try {
      isHomeAccount(c.text);
      ADD_FAILURE() << "no failure for '" << c.text << "'";
    } catch (const Failure& f) {
      EXPECT_EQ(std::string(f.what()), "'" + c.refused + "' is not a valid integer value")
          << c.text;
    }
  }
}

TEST(IsNameTextClean, ForbiddenBytes) {
  const std::string forbidden = "!#$%*;<=>?@[\\]^_{|}\x82\x84\x91\x98";
  ASSERT_EQ(forbidden.size(), 23u);
  for (unsigned b = 1; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const bool bad = forbidden.find(c) != std::string::npos;
    EXPECT_EQ(isNameTextClean("AB"s + c + "CD", 10), !bad) << "byte " << b;
  }
  const struct {
    std::string text;
    std::size_t width;
    bool expected;
  } cases[] = {
      {"A&B (C) + D~, E", 40, true},
      {"", 40, true},
      {"NAME@HOST", 40, false},
      {"NAME_X", 40, false},
      {"X\x91Y", 40, false},
      {"ABCDE@", 5, true},  // only the first `width` characters count
      {"ABCD@", 5, false},
      {"\"'-./:`", 40, true},
  };
  for (const auto& c : cases) EXPECT_EQ(isNameTextClean(c.text, c.width), c.expected) << c.text;
}

TEST(IsAmount16, ValueAndWidth) {
  const TextCase cases[] = {
      {"0000000001000000", true},  {"0000000000000000", false},  // value zero
      {" 000000001000000", false},                               // 15 characters after trimming
      {"000000001000000 ", false},                               // trailing blank fails isNumber
      {"000000000100000", false},                                // 15 characters
      {"00000000010000.0", true},  {"ABCDEFGHIJKLMNOP", false}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isAmount16(c.text), c.expected) << "'" << c.text << "'";
}

TEST(IsCount2, ValueAndWidth) {
  const TextCase cases[] = {
      {"01", true}, {"99", true},  {"00", false}, {" 1", false},  {"1.", true},
      {".5", true}, {"-1", false}, {"1", false},  {"001", false}, {"  ", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isCount2(c.text), c.expected) << "'" << c.text << "'";
}

TEST(IsAmount16AndCount2, ExponentOnlyBodyStopsTheRun) {
  for (auto check : {&isAmount16, &isCount2}) {
    try {
      check("E5");
      ADD_FAILURE() << "no failure";
    } catch (const Failure& f) {
      EXPECT_EQ(std::string(f.what()), "'E5' is not a valid floating point value");
    }
  }
}

TEST(IsValidDate, GregorianCalendar) {
  const struct {
    const char* y;
    const char* m;
    const char* d;
    bool expected;
  } cases[] = {
      {"2024", "02", "29", true},  {"2023", "02", "29", false}, {"1900", "02", "29", false},
      {"2000", "02", "29", true},  {"2024", "13", "01", false}, {"2024", "00", "01", false},
      {"2024", "04", "31", false}, {"2024", "12", "31", true},  {"2024", "01", "00", false},
      {"$7E8", "02", "29", true},  {"0000", "01", "01", false}, {"9999", "12", "31", true},
      {"20A4", "01", "01", false}, {"2024", " 1", "01", true},  {"2024", "1 ", "01", false},
      {"", "01", "01", false},     {"2024", "-1", "01", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(isValidDate(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
}

}  // namespace
}  // namespace bs
