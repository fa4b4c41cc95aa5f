#include <gtest/gtest.h>

#include "output/archive.h"
#include "output/hashed_output.h"
#include "output/seal_verify.h"
#include "output_fixtures.h"

namespace bs {
namespace {

std::string sealed(const std::string& records) {
  test::TempDir dir;
  test::writeFile(dir / "r", records);
  return hexDigest(*hashFile((dir / "r").string())) + "\r\n" + records;
}

TEST(VerifySeal, OutputFiles) {
  const std::string good = sealed("001 records\r\n003 more\r\n");
  std::string lowered = good;
  for (int i = 0; i < 40; ++i) lowered[i] = static_cast<char>(std::tolower(lowered[i]));
  std::string tampered = good;
  tampered.back() = 'X';
  struct Case {
    const char* name;
    std::string bytes;
    bool holds;
  };
  const Case cases[] = {
      {"sealed file", good, true},
      {"sealed empty records", sealed(""), true},
      {"lower-case digits", lowered, lowered == good},
      {"a changed record byte", tampered, false},
      {"LF alone after the hash", good.substr(0, 40) + "\n" + good.substr(42), false},
      {"hash line too short", good.substr(1), false},
      {"empty file", "", false},
      {"a bare payment file", "001 records\r\n", false},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    test::writeFile(dir / "f.txt", c.bytes);
    SealCheck check = verifySeal((dir / "f.txt").string());
    EXPECT_EQ(check.holds, c.holds) << c.name << ": " << check.message;
    EXPECT_FALSE(check.message.empty()) << c.name;
  }
  EXPECT_FALSE(verifySeal((dir / "missing").string()).holds);
}

TEST(VerifySeal, Archives) {
  test::TempDir dir;
  std::string out = (dir / "out.txt").string();
  std::string zip = (dir / "a.zip").string();
  test::writeFile(out, sealed(test::paymentFile(20)));
  addToArchive(zip, out);
  EXPECT_TRUE(verifySeal(zip).holds) << verifySeal(zip).message;

  std::string bad = sealed("x\r\n");
  bad.back() = 'y';
  test::writeFile(out, bad);
  addToArchive(zip, out);
  EXPECT_FALSE(verifySeal(zip).holds);

  // An archive of two entries is no sealed archive.
  test::writeFile(dir / "second.txt", "second");
  test::runTool("cd " + test::shellQuoted(dir.path().string()) + " && zip -q a.zip second.txt");
  EXPECT_FALSE(verifySeal(zip).holds);
}

}  // namespace
}  // namespace bs
