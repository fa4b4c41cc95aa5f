#include <gtest/gtest.h>

#include "output/hashed_output.h"
#include "support/test_support.h"

namespace bs {
namespace {

using test::LineBuilder;

std::string normalised(const std::string& line, bool flag) {
  std::string out;
  normaliseLine(line, flag, out);
  return out;
}

struct CreditCase {
  const char* name;
  const char* tail;  // columns 336-355 of the input
  bool flag;
  const char* expectedTail;
};

TEST(NormaliseCredit, LastTwentyColumnsBecomeBlanksOrTheChargeFlag) {
  const CreditCase cases[] = {
      {"upper B kept when the flag is on", "                  B ", true, "                  B "},
      {"lower b written as B when the flag is on", "                  b ", true,
       "                  B "},
      {"B blanked when the flag is off", "                  B ", false, "                    "},
      {"b blanked when the flag is off", "                  b ", false, "                    "},
      {"other charge letters blanked", "                  O ", true, "                    "},
      {"text in 336-353 and 355 blanked, B kept", "ABCDEFGHIJKLMNOPQRBZ", true,
       "                  B "},
      {"text in 336-353 blanked with the flag off", "ABCDEFGHIJKLMNOPQRBZ", false,
       "                    "},
  };
  for (const auto& c : cases) {
    std::string line = LineBuilder("003", 355).set(4, 335, "KEEP ME 12345").set(336, 355, c.tail);
    std::string out = normalised(line, c.flag);
    ASSERT_EQ(out.size(), 355u) << c.name;
    EXPECT_EQ(out.substr(0, 335), line.substr(0, 335)) << c.name;
    EXPECT_EQ(out.substr(335), c.expectedTail) << c.name;
  }
}

struct PayeeCase {
  const char* name;
  const char* idCard;  // columns 18-32
  const char* taxId;   // columns 343-352
  bool moved;
  const char* expectedTaxId;
};

TEST(NormalisePayee, TenCharacterIdCardMovesIntoABlankTaxId) {
  const PayeeCase cases[] = {
      {"10 digits then blanks", "1234567890     ", "          ", true, "1234567890"},
      {"10 digits after leading blanks", "   1234567890  ", "          ", true, "1234567890"},
      {"10 characters with an inner blank", "12345 6789     ", "          ", true, "12345 6789"},
      {"13 digits stay", "1234567890123  ", "          ", false, "          "},
      {"9 digits stay", "123456789      ", "          ", false, "          "},
      {"11 digits stay", "12345678901    ", "          ", false, "          "},
      {"filled Tax ID stays", "1234567890     ", "0987654321", false, "0987654321"},
      {"partly filled Tax ID stays", "1234567890     ", "    7     ", false, "    7     "},
      {"blank ID card stays", "               ", "          ", false, "          "},
  };
  for (const auto& c : cases) {
    std::string line = LineBuilder("004", 816)
                           .set(4, 17, "BEFORE-ID")
                           .set(18, 32, c.idCard)
                           .set(33, 342, "MIDDLE FIELDS")
                           .set(343, 352, c.taxId)
                           .set(353, 816, "AFTER TAX ID");
    std::string out = normalised(line, true);
    ASSERT_EQ(out.size(), 816u) << c.name;
    EXPECT_EQ(out.substr(0, 17), line.substr(0, 17)) << c.name;
    EXPECT_EQ(out.substr(17, 15), c.moved ? std::string(15, ' ') : line.substr(17, 15)) << c.name;
    EXPECT_EQ(out.substr(32, 310), line.substr(32, 310)) << c.name;
    EXPECT_EQ(out.substr(342, 10), c.expectedTaxId) << c.name;
    EXPECT_EQ(out.substr(352), line.substr(352)) << c.name;
  }
}

TEST(NormaliseOther, EveryOtherLinePassesUnchanged) {
  const std::string lines[] = {
      LineBuilder("001", 96).set(4, 96, "HEADER B b"),
      LineBuilder("002", 109).set(100, 109, "B"),
      LineBuilder("005", 138).set(18, 32, "1234567890"),
      LineBuilder("999", 31),
      "",
      "00",
      "XYZ some text\nwith a bare LF",
  };
  for (const auto& line : lines) EXPECT_EQ(normalised(line, true), line);
}

}  // namespace
}  // namespace bs
