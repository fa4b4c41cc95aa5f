#include <gtest/gtest.h>

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "core/scripted_ui.h"
#include "report_fixtures.h"
#include "reports/engine/report_commands.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"

namespace bs {
namespace {

struct FeeUi : ScriptedUi {
  std::vector<std::pair<std::string, std::string>> variables;
  QString firstPage;
  void showReport(const ReportDocument& doc) override {
    ScriptedUi::showReport(doc);
    variables = doc.variables();
    firstPage = doc.pageText(0);
  }
};

struct FeeFixture : ::testing::Test {
  test::TempDir dir;
  std::filesystem::path home = test::makeProgramFolder(dir);
  FeeUi ui;
  Session session{ui, ProgramPaths{home}, Clock::fixed("20240101")};

  void SetUp() override {
    ensureGuiApplication();
    setUpSession(session);
    FormCreate(session);
  }
  void fees(const std::string& ini) { test::writeFile(home / "Data" / "Config.ini", ini); }
  void input(const std::vector<std::string>& lines) {
    auto path = dir / "fee.txt";
    test::writeFile(path, test::joinLines(lines));
    session.form.edtFileInput.text = path.string();
  }
  static std::string credit(long long thousandths, std::string_view bank = "025") {
    return test::CreditLine("MCL")
        .set(test::credit::amount, test::amount16(thousandths))
        .set(test::credit::bankCode, bank);
  }
  // Seven credits: three in the first tier, two in the second, one in the third and one to
  // the home bank.
  std::vector<std::string> creditsOfEveryTier(bool secondTier = true) {
    const long long amounts[] = {1000000, 100000000, 5000, 100000010, 500000000, 2000000000};
    std::vector<std::string> lines{test::headerLine(),
                                   test::debitLine("MCL", 2701006010 + 1000000, 7)};
    for (long long a : amounts) {
      if (!secondTier && a > 100000000 && a <= 500000000) continue;
      lines.push_back(credit(a));
      lines.push_back(test::payeeLineEnglish("PAYEE"));
    }
    lines.push_back(credit(1000000, "014"));
    lines.push_back(test::payeeLineEnglish("HOME"));
    lines.push_back(test::trailerLine(1, 7, 2701006010 + 1000000));
    return lines;
  }
};

TEST_F(FeeFixture, CountsEveryTierAndShowsTheEightVariablesEvenWithFieldErrors) {
  fees("[ThreeTierRate]\nRangeFee1=10\nRangeFee2=20\nRangeFee3=35.5\n");
  input(creditsOfEveryTier());
  EXPECT_TRUE(runCommand(session, MCLFeeClick));
  ASSERT_EQ(ui.reportsShown, 1) << (ui.messages().empty() ? "" : ui.messages()[0]);
  std::vector<std::string> values;
  for (const auto& [name, value] : ui.variables) values.push_back(value);
  // The eight of the tariff, then the configured fees.
  EXPECT_EQ(values, (std::vector<std::string>{"3", "2", "1", "6", "30", "40", "35.5", "105.5", "10",
                                              "20", "35.5"}));
  EXPECT_FALSE(session.state.reportReady);  // the last batch's state is left alone

  // A tier without credits still shows its fee per credit.
  input(creditsOfEveryTier(false));
  EXPECT_TRUE(runCommand(session, MCLFeeClick));
  EXPECT_EQ(ui.variables[1].second, "0");
  EXPECT_TRUE(ui.firstPage.contains("\n0\n20.00\n0.00\n")) << ui.firstPage.toStdString();
}

TEST_F(FeeFixture, GatesAndFailuresStopBeforeTheReport) {
  struct Case {
    const char* name;
    std::string ini;
    bool badType;
    bool noFile;
    std::string message;
    std::string status;
  };
  const Case cases[] = {
      {"no tier section", "[Other]\nX=1\n", false, false, "'' is not a valid floating point value",
       ""},
      {"fee not a number", "[ThreeTierRate]\nRangeFee1=ten\nRangeFee2=1\nRangeFee3=1\n", false,
       false, "'ten' is not a valid floating point value", ""},
      {"no input", "[ThreeTierRate]\nRangeFee1=1\n", false, true, "Input File does not exist", ""},
      {"bad record type", "[ThreeTierRate]\nRangeFee1=1\n", true, false, "Error Data !",
       "Record type invalid code"},
  };
  for (const auto& c : cases) {
    ui.shown.clear();
    ui.reportsShown = 0;
    session.form.Label4.caption.clear();
    fees(c.ini);
    auto lines = creditsOfEveryTier();
    if (c.badType) lines.insert(lines.begin() + 1, "XYZ");
    input(lines);
    if (c.noFile) session.form.edtFileInput.text = (dir / "missing.txt").string();
    runCommand(session, MCLFeeClick);
    EXPECT_EQ(ui.reportsShown, 0) << c.name;
    ASSERT_FALSE(ui.messages().empty()) << c.name;
    EXPECT_EQ(ui.messages().back(), c.message) << c.name;
    EXPECT_EQ(session.form.Label4.caption.find(c.status), 0u) << c.name;
    if (c.badType) {
      EXPECT_TRUE(session.form.btnSaveError.enabled) << c.name;
    }
  }
}

TEST_F(FeeFixture, WithoutItsTemplateNoReportAndNoMessage) {
  fees("[ThreeTierRate]\nRangeFee1=10\nRangeFee2=20\nRangeFee3=35.5\n");
  input(creditsOfEveryTier());
  std::filesystem::remove(home / "Report" / "DeductFee.frf");
  EXPECT_TRUE(runCommand(session, MCLFeeClick));
  EXPECT_EQ(ui.reportsShown, 0);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(FeeFixture, ReportBeforeAnySuccessfulRunDoesNothing) {
  EXPECT_TRUE(runCommand(session, ToolButton4Click));
  EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
}  // namespace bs
