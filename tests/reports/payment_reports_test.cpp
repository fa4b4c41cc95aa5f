#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/scripted_ui.h"
#include "report_fixtures.h"
#include "reports/engine/report_commands.h"
#include "reports/payment_summary.h"

namespace bs {
namespace {

// Keeps what each shown report held, and writes it as PDF when asked.
struct RecordingUi : ScriptedUi {
  std::vector<int> pageCounts;
  std::vector<QString> texts;
  std::vector<std::vector<std::pair<std::string, std::string>>> variables;
  std::string pdfPath;
  void showReport(const ReportDocument& doc) override {
    ScriptedUi::showReport(doc);
    pageCounts.push_back(doc.pageCount());
    QString all;
    for (int p = 0; p < doc.pageCount(); ++p) all += doc.pageText(p) + "\n";
    texts.push_back(all);
    variables.push_back(doc.variables());
    if (!pdfPath.empty()) doc.writePdf(pdfPath);
  }
};

std::string runPdfToText(const std::filesystem::path& pdf) {
  std::string cmd = "pdftotext -layout '" + pdf.string() + "' -";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

struct ReportsFixture : ::testing::Test {
  test::TempDir dir;
  std::filesystem::path home = test::makeProgramFolder(dir);
  RecordingUi ui;
  Session session{ui, ProgramPaths{home}, Clock::fixed("20240101")};
  reptest::FakeReportTables tables;

  void SetUp() override { ensureGuiApplication(); }

  void sealSample() {
    auto path = dir / "payroll.txt";
    test::writeFile(
        path, test::joinLines({
                  reptest::headerLine("COMP'01", "CUSTREF00001XX"),
                  reptest::debitLine("PAY", "20240131", "1234567890", 1500000, 2),
                  reptest::creditLine("1111111111", 1000000),
                  // Thai name in Windows-874: SOMCHAI in Thai letters.
                  reptest::payeeLine("\xCA\xC1\xAA\xD2\xC2 \xE3\xA8\xB4\xD5", "SOMCHAI JAIDEE"),
                  reptest::whtLine(30000),
                  reptest::creditLine("2222222222", 500000),
                  reptest::payeeLine("", "JOHN SMITH"),
                  reptest::debitLine("BNT", "20240201", "9999999999", 2500000, 1),
                  reptest::creditLine("3333333333", 2500000),
                  reptest::payeeLine("", "ACME CO."),
                  reptest::trailerLine(3, 4000000),
              }));
    session.form.edtFileInput.text = path.string();
    session.state.currentProduct = "BNT";
    session.state.companyId = "COMP'01";
    fillPaymentSummary(session, tables);
    fillReportTable(session, tables);
    session.form.edtHashvalue.text = "0123456789ABCDEF0123456789ABCDEF01234567";
  }
};

TEST_F(ReportsFixture, NothingHappensBeforeASuccessfulRun) {
  printPaymentReports(session, tables);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ReportsFixture, SealedSamplePrintsHeaderRowsTotalAndThaiNamesInThePdf) {
  sealSample();
  auto pdf = dir / "report.pdf";
  ui.pdfPath = pdf.string();
  printPaymentReports(session, tables);
  ASSERT_EQ(ui.reportsShown, 1);
  EXPECT_TRUE(ui.messages().empty());
  ASSERT_TRUE(std::filesystem::exists(pdf));
  std::string text = runPdfToText(pdf);
  for (const char* want :
       {"COMP'01", "CUSTREF00001", "9999999999", "0123456789ABCDEF0123456789ABCDEF01234567",
        "payroll.txt", "Payroll", "31/01/2024", "BahtNet", "01/02/2024", "1,500.00", "2,500.00",
        "4,000.00", "JOHN SMITH", "ACME CO.",
        "\xE0\xB8\xAA\xE0\xB8\xA1\xE0\xB8\x8A\xE0\xB8\xB2\xE0\xB8\xA2", "Page 1 of 2",
        "Page 2 of 2"})
    EXPECT_NE(text.find(want), std::string::npos) << want << "\n" << text;
  // The payee's WHT total is printed with two decimals.
  EXPECT_NE(text.find("30.00"), std::string::npos);
}

TEST_F(ReportsFixture, AMissingTemplateShowsNoMessage) {
  sealSample();
  std::filesystem::remove(home / "Report" / "PaymentDetail.frf");
  printPaymentReports(session, tables);
  ASSERT_EQ(ui.reportsShown, 1);
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(ui.pageCounts[0], 1);  // the payment report alone

  // Without any template nothing is prepared and no preview opens.
  std::filesystem::remove(home / "Report" / "Payment.frf");
  session.reports.reset();
  printPaymentReports(session, tables);
  EXPECT_EQ(ui.reportsShown, 1);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ReportsFixture, TextsAreTakenWhenTheCommandRunsAndDirectDebitUsesItsOwnReport) {
  sealSample();
  session.form.edtHashvalue.text = "EDITED";
  printPaymentReports(session, tables);
  ASSERT_EQ(ui.texts.size(), 1u);
  EXPECT_TRUE(ui.texts[0].contains(": EDITED"));
  EXPECT_EQ(ui.variables[0][0], (std::pair<std::string, std::string>{"comId", "COMP'01"}));

  session.state.currentProduct = "DDR";
  printPaymentReports(session, tables);
  ASSERT_EQ(ui.texts.size(), 2u);
  EXPECT_TRUE(ui.texts[1].contains("DIRECT DEBIT REPORT"));
  EXPECT_FALSE(ui.texts[1].contains("JOHN SMITH"));

  tables.failOpen = true;
  EXPECT_THROW(printPaymentReports(session, tables), Failure);
}

TEST_F(ReportsFixture, PdfThatCannotBeWrittenIsAFailure) {
  sealSample();
  ui.pdfPath = (dir / "no-such-folder" / "r.pdf").string();
  EXPECT_THROW(printPaymentReports(session, tables), Failure);
}

}  // namespace
}  // namespace bs
