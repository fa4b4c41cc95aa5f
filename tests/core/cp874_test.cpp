#include "core/cp874.h"

#include <gtest/gtest.h>

namespace bs {
namespace {

// Pins the Windows-874 table: Qt's "CP874" codec (an IBM table) differs at 0x80-0x9F.
TEST(Cp874, DecodesTheWindowsThaiCodePage) {
  struct Case {
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"ABC 123", "ABC 123"},
      {"\xA1", "\u0E01"},            // ko kai
      {"\xE0", "\u0E40"},            // sara e
      {"\xDF", "\u0E3F"},            // baht sign
      {"\x80", "\u20AC"},            // euro sign, only in the Windows table
      {"\x85", "\u2026"},            // ellipsis
      {"\x91\x92", "\u2018\u2019"},  // quotation marks
      {"\xA0", "\u00A0"},            // no-break space
      {"\xDB", "\uFFFD"},            // undefined in the code page
      {"\xCA\xC1\xAA\xD2\xC2", "\u0E2A\u0E21\u0E0A\u0E32\u0E22"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cp874ToUtf8(c.bytes), c.utf8) << c.bytes;
    if (c.utf8 != "\uFFFD") {
      EXPECT_EQ(utf8ToCp874(c.utf8), c.bytes);
    }
  }
  EXPECT_EQ(utf8ToCp874("\u4E2D"), "?");
}

}  // namespace
}  // namespace bs
