#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/failure.h"
#include "core/scripted_ui.h"
#include "reports/settings.h"
#include "support/test_support.h"

namespace bs {
namespace {

struct ReadCase {
  const char* name;
  std::string text;
  const char* section;
  const char* key;
  const char* expected;
};

TEST(ReadSetting, TheRulesOfTheSettingsFile) {
  const ReadCase cases[] = {
      {"plain value", "[S]\r\nK=v\r\n", "S", "K", "v"},
      {"section and key in any case", "[threeTIERrate]\nrangefee1=12.5\n", "ThreeTierRate",
       "RangeFee1", "12.5"},
      {"blanks around key and value", "[S]\n  K  =   v w  \n", "S", "K", "v w"},
      {"blanks inside the brackets", "[ S ]\nK=v\n", "S", "K", "v"},
      {"double quotes removed", "[S]\nK=\"True\"\n", "S", "K", "True"},
      {"single quotes removed", "[S]\nK='x y'\n", "S", "K", "x y"},
      {"only one pair of quotes removed", "[S]\nK=\"\"x\"\"\n", "S", "K", "\"x\""},
      {"unbalanced quote kept", "[S]\nK=\"x\n", "S", "K", "\"x"},
      {"mixed quotes kept", "[S]\nK=\"x'\n", "S", "K", "\"x'"},
      {"value after the first equals sign", "[S]\nK=a=b\n", "S", "K", "a=b"},
      {"a colon is no separator", "[S]\nK:v\nK2 = a:b\n", "S", "K", ""},
      {"a colon stays in the value", "[S]\nK2 = a:b\n", "S", "K2", "a:b"},
      {"a semicolon after the value belongs to it", "[S]\nK=10 ; fee\n", "S", "K", "10 ; fee"},
      {"a hash sign after the value belongs to it", "[S]\nK=10 # fee\n", "S", "K", "10 # fee"},
      {"comment lines are not keys", "[S]\n; K=1\nK=2\n", "S", "K", "2"},
      {"nothing after the equals sign", "[S]\nK=\nK=later\n", "S", "K", ""},
      {"missing key", "[S]\nOther=1\n", "S", "K", ""},
      {"missing section", "[Other]\nK=1\n", "S", "K", ""},
      {"key of another section", "[S]\nA=1\n[T]\nK=2\n", "S", "K", ""},
      {"lines outside any section are not used", "K=1\n[S]\nA=1\n", "S", "K", ""},
      {"last line without line end", "[S]\nK=v", "S", "K", "v"},
      {"CR line ends", "[S]\rK=v\r", "S", "K", "v"},
      {"byte order mark before the first section", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
      {"tabs are blanks", "[S]\n\tK\t=\tv\t\n", "S", "K", "v"},
      {"blanks inside quotes kept", "[S]\nK=\" v \"\n", "S", "K", " v "},
      {"empty text", "", "S", "K", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(readSettingFromText(c.text, c.section, c.key), c.expected) << c.name;
}

TEST(BeneChargeFlag, OnlyTrueInAnyCaseSwitchesItOn) {
  const std::pair<const char*, bool> cases[] = {
      {"BeneChargeFlag=true", true},     {"BeneChargeFlag=True", true},
      {"BeneChargeFlag=TRUE", true},     {"BeneChargeFlag=  tRuE  ", true},
      {"BeneChargeFlag=\"TRUE\"", true}, {"BeneChargeFlag=' true '", false},
      {"BeneChargeFlag=1", false},       {"BeneChargeFlag=yes", false},
      {"BeneChargeFlag=", false},        {"Other=TRUE", false},
      {"BeneChargeFlag=TRUE;", false},
  };
  for (const auto& [line, on] : cases) {
    std::string text = std::string("[BeneChargeProfile]\r\n") + line + "\r\n";
    EXPECT_EQ(beneChargeFlagFrom(readSettingFromText(text, "BeneChargeProfile", "BeneChargeFlag")),
              on)
        << line;
  }
}

TEST(SettingsFile, FlagAtStartFeesOnEveryRead) {
  test::TempDir dir;
  ScriptedUi ui;
  Session session(ui, ProgramPaths{dir.path()}, Clock::fixed("20261209"));
  // No file: flag off, empty fees.
  loadBeneChargeSetting(session);
  EXPECT_FALSE(session.state.beneChargeFlag);
  EXPECT_EQ(loadRangeFees(session.paths).rangeFee2, "");

  std::filesystem::create_directories(session.paths.dataFolder());
  auto ini = settingsFile(session.paths);
  test::writeFile(ini,
                  "[BeneChargeProfile]\r\nBeneChargeFlag = True\r\n"
                  "[ThreeTierRate]\r\nRangeFee1=10\r\nRangeFee2 = \"20.50\"\r\n");
  loadBeneChargeSetting(session);
  EXPECT_TRUE(session.state.beneChargeFlag);
  RangeFees fees = loadRangeFees(session.paths);
  EXPECT_EQ(fees.rangeFee1, "10");
  EXPECT_EQ(fees.rangeFee2, "20.50");
  EXPECT_EQ(fees.rangeFee3, "");

  test::writeFile(ini, "[ThreeTierRate]\r\nRangeFee2=99\r\n");
  EXPECT_EQ(loadRangeFees(session.paths).rangeFee2, "99");
  EXPECT_TRUE(session.state.beneChargeFlag);  // until the next start
}

// No hang on a pipe, no memory exhausted by a device or a huge file: a failure naming the file.
TEST(SettingsFile, ASettingsFileThatIsNoPlainFileOrFarTooLargeIsRefusedByName) {
  namespace fs = std::filesystem;
  const std::pair<const char*, std::function<void(const fs::path&)>> cases[] = {
      {"It is a folder", [](const fs::path& p) { fs::create_directory(p); }},
      {"a pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
      {"a device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
      {"larger than 16 MB",
       [](const fs::path& p) {
         test::writeFile(p, "[BeneChargeProfile]\r\n");
         fs::resize_file(p, 17u << 20);
       }},
  };
  for (const auto& [reason, make] : cases) {
    test::TempDir dir;
    const fs::path ini = dir / "Config.ini";
    make(ini);
    try {
      readSetting(ini, "BeneChargeProfile", "BeneChargeFlag");
      ADD_FAILURE() << reason << ": no failure";
    } catch (const Failure& f) {
      EXPECT_NE(std::string(f.what()).find(ini.string() + "\". "), std::string::npos) << f.what();
      EXPECT_NE(std::string(f.what()).find(reason), std::string::npos) << f.what();
    }
  }
}

TEST(SettingsFile, TheShippedFileReadsAsDocumented) {
  auto ini = std::filesystem::path(BATCHSEAL_SOURCE_DIR) / "install" / "Data" / "Config.ini";
  EXPECT_EQ(readSetting(ini, "BeneChargeProfile", "BeneChargeFlag"), "FALSE");
  for (const char* key : {"RangeFee1", "RangeFee2", "RangeFee3"}) {
    std::string fee = readSetting(ini, "ThreeTierRate", key);
    EXPECT_FALSE(fee.empty()) << key;
    EXPECT_EQ(fee.find_first_not_of("0123456789."), std::string::npos) << key << "=" << fee;
  }
}

}  // namespace
}  // namespace bs
