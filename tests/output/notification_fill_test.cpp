#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/failure.h"
#include "output/notification_fill.h"
#include "output_fixtures.h"

namespace bs {
namespace {

using test::LineBuilder;

std::string credit(char flag) {
  return LineBuilder("003", 355).set(4, 13, "0000000001").set(259, 259, std::string(1, flag));
}
std::string filled(std::string line) {
  if (line.size() >= 259 && line.substr(0, 3) == "003" && line[258] == ' ') line[258] = 'N';
  return line;
}

struct FillCase {
  const char* name;
  std::string before;
  std::string after;
};

TEST(NotificationFill, LineEndsAndFlagsComeBackAsTheyWere) {
  const std::string blank = credit(' ');
  const std::string given = credit('F');
  const std::string other = LineBuilder("004", 816).set(259, 259, " ");
  const std::string header = LineBuilder("001", 96);
  const FillCase cases[] = {
      {"CR LF after every line", header + "\r\n" + blank + "\r\n" + other + "\r\n",
       header + "\r\n" + filled(blank) + "\r\n" + other + "\r\n"},
      {"no line end after the last line", header + "\r\n" + blank, header + "\r\n" + filled(blank)},
      {"lone CR line ends are kept whole", header + "\r" + blank + "\r" + given + "\r",
       header + "\r" + filled(blank) + "\r" + given + "\r"},
      {"mixed line ends", blank + "\r" + blank + "\r\n" + blank,
       filled(blank) + "\r" + filled(blank) + "\r\n" + filled(blank)},
      {"a 0x1A byte ends the file", blank + "\r\n" + header + "\r\n\x1A" + blank + "\r\n",
       filled(blank) + "\r\n" + header + "\r\n"},
      {"a 0x1A byte inside a line", blank + "\r\nHEAD\x1Atail", filled(blank) + "\r\nHEAD"},
      {"a last 0x1A byte alone is dropped", given + "\r\n\x1A", given + "\r\n"},
      {"a bare LF is an ordinary byte", blank + "\n" + blank + "\r\n",
       filled(blank) + "\n" + blank + "\r\n"},
      {"given flags kept, other types untouched",
       credit('F') + "\r\n" + credit('S') + "\r\n" + credit('E') + "\r\n" + credit('N') + "\r\n" +
           other + "\r\n",
       credit('F') + "\r\n" + credit('S') + "\r\n" + credit('E') + "\r\n" + credit('N') + "\r\n" +
           other + "\r\n"},
      {"empty file", "", ""},
      {"no checks needed to be passed", "garbage\r\n" + blank + "\r\n",
       "garbage\r\n" + filled(blank) + "\r\n"},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    auto file = dir / "payment.txt";
    test::writeFile(file, c.before);
    fillNotificationFlags(file.string());
    EXPECT_EQ(test::readFile(file), c.after) << c.name;
    EXPECT_EQ(test::filesIn(dir.path()), std::vector<std::string>{"payment.txt"}) << c.name;
  }
}

TEST(NotificationFill, AFileThatNeedsNoFillIsNotRewritten) {
  test::TempDir dir;
  auto file = dir / "payment.txt";
  test::writeFile(file, credit('F') + "\r\n" + credit('N'));
  struct stat before {};
  ::stat(file.c_str(), &before);
  EXPECT_FALSE(fillNotificationFlags(file.string()));
  struct stat after {};
  ::stat(file.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST(NotificationFill, RewriteKeepsThePermissionsOfThePaymentFile) {
  test::TempDir dir;
  auto file = dir / "payment.txt";
  test::writeFile(file, credit(' ') + "\r\n");
  ::chmod(file.c_str(), 0640);
  EXPECT_TRUE(fillNotificationFlags(file.string()));
  struct stat st {};
  ::stat(file.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(NotificationFill, AMissingFileEndsTheCommandAndLeavesNothingBehind) {
  test::TempDir dir;
  EXPECT_THROW(fillNotificationFlags((dir / "missing.txt").string()), Failure);
  EXPECT_TRUE(test::filesIn(dir.path()).empty());
}

}  // namespace
}  // namespace bs
