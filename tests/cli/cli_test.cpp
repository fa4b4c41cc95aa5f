#include <sys/wait.h>

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <string>

#include "support/faulty_sample.h"
#include "support/test_support.h"

namespace bs {
namespace {

struct CliRun {
  int code = -1;
  std::string out;
};

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

CliRun cli(const std::string& args) {
  std::string cmd = std::string(BATCHSEAL_PROGRAM_DIR) + "/batchseal-cli " + args + " 2>/dev/null";
  CliRun r;
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int status = ::pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

QJsonObject json(const CliRun& r) {
  QJsonParseError err{};
  auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &err);
  EXPECT_EQ(err.error, QJsonParseError::NoError) << r.out;
  return doc.object();
}

std::string header() {
  return test::LineBuilder("001", 96).str();
}

TEST(Cli, UsageErrorsExitWithTwo) {
  for (const char* args :
       {"", "frobnicate x", "seal", "seal in.txt", "check", "check a b", "check x --zip z",
        "seal x --zip z --invalid-accounts maybe", "seal x --zip", "--version=1", "show x",
        "show x 0", "show x 2y", "show x 1 --zip z", "check x --explain --json",
        "seal x --zip z --explain"}) {
    EXPECT_EQ(cli(args).code, 2) << args;
  }
  const CliRun version = cli("--version");
  EXPECT_EQ(version.code, 0);
  for (const char* name : {"batchseal-cli ", "Qt ", "SQLite ", "libzip ", "OpenSSL ", "zlib "})
    EXPECT_NE(version.out.find(name), std::string::npos) << name;
}

TEST(Cli, CheckListsRecordTypeOffencesWithTheirLines) {
  test::TempDir dir;
  auto home = test::makeProgramFolder(dir);
  auto input = dir / "pay.txt";
  test::writeFile(input, test::joinLines({header(), "0O1xyz", "", header()}));
  CliRun r = cli("--home " + quote(home.string()) + " check " + quote(input.string()) + " --json");
  EXPECT_EQ(r.code, 1);
  QJsonObject o = json(r);
  EXPECT_EQ(o["outcome"].toString(), "stopped");
  QJsonArray grid = o["grid"].toArray();
  ASSERT_EQ(grid.size(), 4);
  EXPECT_EQ(grid[0].toArray(), (QJsonArray{"No.", "Line"}));
  EXPECT_EQ(grid[1].toArray(), (QJsonArray{"1", "2"}));
  EXPECT_EQ(grid[2].toArray(), (QJsonArray{"2", "3"}));
  EXPECT_EQ(grid[3].toArray(), (QJsonArray{"", ""}));
  EXPECT_EQ(o["saveEnabled"].toBool(), false);
  EXPECT_TRUE(o["messages"].toArray().isEmpty());
}

TEST(Cli, CheckListsLengthOffences) {
  test::TempDir dir;
  auto home = test::makeProgramFolder(dir);
  auto input = dir / "pay.txt";
  test::writeFile(input, test::joinLines({header(), std::string(32, ' ').replace(0, 3, "999")}));
  CliRun r = cli("--home " + quote(home.string()) + " check " + quote(input.string()) + " --json");
  EXPECT_EQ(r.code, 1);
  QJsonArray grid = json(r)["grid"].toArray();
  ASSERT_EQ(grid.size(), 3);
  EXPECT_EQ(grid[0].toArray(), (QJsonArray{"No.", "Record Type", "Line"}));
  EXPECT_EQ(grid[1].toArray(), (QJsonArray{"1", "999", "2"}));
}

TEST(Cli, ShowAndExplainCutTheRecordAtItsFaultyField) {
  test::TempDir dir;
  auto home = test::makeProgramFolder(dir);
  auto input = dir / "pay.txt";
  test::writeFile(input, test::faultySample());
  const std::string file = quote(input.string());
  QJsonObject o = json(cli("show " + file + " 3 --json"));
  EXPECT_EQ(o["typeName"].toString(), "Credit");
  EXPECT_EQ(o["length"].toInt(), 355);
  const QJsonObject amount = o["fields"].toArray()[3].toObject();
  EXPECT_EQ(amount["name"].toString(), "Credit Amount");
  EXPECT_EQ(amount["first"].toInt(), 35);
  EXPECT_EQ(amount["value"].toString(), "0000000025500001");
  EXPECT_EQ(cli("show " + file + " 99").code, 1);
  EXPECT_EQ(cli("show " + quote((dir / "nope.txt").string()) + " 1").code, 3);

  CliRun r = cli("--home " + quote(home.string()) + " check " + file + " --explain");
  EXPECT_EQ(r.code, 1);
  // Under the row: the field, its value, the ruler, the line and the carets under the field.
  const std::string note =
      "    Credit Amount, columns 35-50: 0000000025500001\n"
      "         30        40        50        60\n"
      "    +....|....+....|....+....|....+....|\n"
      "    \xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7"
      "0000000025500001THBPV00000\n"
      "              ^^^^^^^^^^^^^^^^\n";
  EXPECT_NE(r.out.find("| Amount should have two digits after decimal "), std::string::npos);
  EXPECT_NE(r.out.find(note), std::string::npos) << r.out;
}

TEST(Cli, MissingInputIsAFailureWithItsMessage) {
  test::TempDir dir;
  auto home = test::makeProgramFolder(dir);
  CliRun r = cli("--home " + quote(home.string()) + " check " + quote((dir / "nope.txt").string()) +
                 " --json");
  EXPECT_EQ(r.code, 3);
  QJsonObject o = json(r);
  EXPECT_EQ(o["outcome"].toString(), "failed");
  QJsonArray messages = o["messages"].toArray();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].toObject()["kind"].toString(), "error");
  EXPECT_TRUE(messages[0].toObject()["text"].toString().contains("nope.txt"));
}

TEST(Cli, SealRefusesNamesBeforeTouchingAnything) {
  test::TempDir dir;
  auto home = test::makeProgramFolder(dir);
  auto input = dir / "pay.txt";
  test::writeFile(input, test::joinLines({header()}));
  struct Case {
    std::string args;
    const char* message;
  } cases[] = {
      {"seal " + quote((dir / "missing.txt").string()) + " --zip z.zip",
       "Input File does not exist"},
      {"seal " + quote(input.string()) + " --zip ''", "Please insert zip file name"},
      {"seal " + quote(input.string()) + " --zip out.rar", "Invalid zip file name"},
      {"seal " + quote(input.string()) + " --zip out.zip --new-file ''",
       "If you select new file for output , should be insert file name"},
  };
  for (const auto& c : cases) {
    CliRun r = cli("--home " + quote(home.string()) + " " + c.args + " --json");
    EXPECT_EQ(r.code, 1) << c.args;
    QJsonObject o = json(r);
    EXPECT_EQ(o["outcome"].toString(), "stopped");
    QJsonArray messages = o["messages"].toArray();
    ASSERT_EQ(messages.size(), 1) << c.args;
    EXPECT_EQ(messages[0].toObject()["text"].toString().toStdString(), c.message);
    EXPECT_EQ(messages[0].toObject()["answer"].toString(), "OK");
    EXPECT_EQ(o["grid"].toArray(), (QJsonArray{QJsonArray{"", ""}, QJsonArray{"", ""}}));
  }
  EXPECT_EQ(test::readFile(input), test::joinLines({header()}));
}

}  // namespace
}  // namespace bs
