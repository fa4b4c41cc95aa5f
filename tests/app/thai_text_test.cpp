#include "app/thai_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bs::app {
namespace {

TEST(ThaiText, WindowsThaiCodePageBothWays) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {"\xA1", u"\u0E01"},  // ko kai
      {"\xE0", u"\u0E40"},  // sara e
      {"\xDF", u"\u0E3F"},  // baht sign
      {"\xFB", u"\u0E5B"},  // last character of the page
      {"\x80", u"\u20AC"},  // euro sign, where the ISO page has none
      {"AB 12", u"AB 12"},  // ASCII passes unchanged
      {"\xCA\xC1\xAA\xD2\xC2 ltd", u"\u0E2A\u0E21\u0E0A\u0E32\u0E22 ltd"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    QString expected = QString::fromStdU16String(c.text);
    EXPECT_EQ(fromThai(c.bytes), expected);
    EXPECT_EQ(toThai(expected), c.bytes);
  }
}

TEST(ThaiText, BytesAndCharactersOutsideThePageAreMarkedNotDropped) {
  // 0xDB is not part of the code page; the rest of the text survives around it.
  EXPECT_EQ(fromThai("a\xDB"
                     "b"),
            QString::fromUtf16(u"a\uFFFDb"));
  EXPECT_EQ(toThai(QString::fromUtf16(u"caf\u00E9 \u0E01")), "caf? \xA1");
  EXPECT_EQ(toThai(QString::fromUtf16(u"\U0001F600x")), "??x");
}

TEST(ThaiText, PathsUseTheFileSystemEncoding) {
  QString name = QString::fromUtf16(u"/tmp/\u0E01\u0E02.txt");
  EXPECT_EQ(toPath(name), "/tmp/\xE0\xB8\x81\xE0\xB8\x82.txt");
  EXPECT_EQ(fromPath(toPath(name)), name);
}

}  // namespace
}  // namespace bs::app
