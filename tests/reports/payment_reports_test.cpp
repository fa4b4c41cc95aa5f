#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/scripted_ui.h"
#include "report_fixtures.h"
#include "reports/engine/pdf_join.h"
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

// What a command prints.
std::string commandOutput(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

std::string runPdfToText(const std::filesystem::path& pdf) {
  return commandOutput("pdftotext -layout '" + pdf.string() + "' -");
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

// A document written as PDF has every page in order, each in its own orientation, and the
// title, whether it is written in one piece or, when long, painted in parts and joined; a
// stopped or failed write leaves nothing behind, neither the file nor its parts.
TEST(ReportPdf, EveryPageInOrderWhetherWrittenWholeOrJoined) {
  ensureGuiApplication();
  struct Case {
    int pages;
    int stopAt;  // the page the write is stopped at, or 0
    bool missingFolder;
  };
  // clang-format off
  const Case cases[] = {
      {3, 0, false},    // one piece
      {450, 0, false},  // two parts joined
      {450, 300, false},
      {450, 0, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pages << " pages, stopped at " << c.stopAt);
    test::TempDir dir;
    ReportDocument doc;
    doc.setTitle("Payment report - payroll.txt");
    for (int i = 1; i <= c.pages; ++i) {
      PreparedPage page;
      if (i > 1) page.sizeMm = QSizeF(297, 210);
      page.texts.push_back(
          {QRectF(10, 10, 150, 8), QString("Page %1 of %2").arg(i).arg(c.pages), "Noto Sans", 9});
      doc.pages().push_back(page);
    }
    const std::filesystem::path folder = c.missingFolder ? dir / "no-such-folder" : dir.path();
    const std::string pdf = (folder / "r.pdf").string();
    if (c.missingFolder) {
      EXPECT_THROW(doc.writePdf(pdf), Failure);
    } else {
      const bool done =
          doc.writePdf(pdf, [&](int done, int) { return c.stopAt == 0 || done < c.stopAt; });
      EXPECT_EQ(done, c.stopAt == 0);
    }
    if (c.stopAt || c.missingFolder) {
      EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
      continue;
    }
    const std::string info = commandOutput("pdfinfo -l 9999 '" + pdf + "' 2>&1");
    EXPECT_EQ(info.find("rror"), std::string::npos) << info.substr(0, 400);
    EXPECT_NE(info.find("Title:           Payment report - payroll.txt\n"), std::string::npos);
    EXPECT_NE(info.find("Pages:           " + std::to_string(c.pages) + "\n"), std::string::npos);
    const std::string text = runPdfToText(pdf);
    std::size_t at = 0;
    for (int i = 1; i <= c.pages; ++i) {
      char line[64];
      std::snprintf(line, sizeof line, "Page %4d size:  %s", i,
                    i == 1 ? "595 x 842 pts" : "842 x 595 pts");
      EXPECT_NE(info.find(line), std::string::npos) << line;
      at = text.find("Page " + std::to_string(i) + " of " + std::to_string(c.pages), at);
      ASSERT_NE(at, std::string::npos) << "page " << i << " in its place";
    }
  }
}

// Any number of parts join, each part's objects renumbered; a part that is not whole stops the
// join, naming it.
TEST(ReportPdf, JoinTakesWholePartsOnly) {
  ensureGuiApplication();
  test::TempDir dir;
  auto write = [&](const char* name, const QString& text, const char* family) {
    ReportDocument doc;
    doc.setTitle("(Parts) \\ 1 0 R");
    for (int i = 1; i <= 3; ++i) {
      doc.pages().emplace_back();
      doc.pages().back().texts.push_back({QRectF(10, 10, 150, 8), text.arg(i), family, 9});
    }
    const std::string path = (dir.path() / name).string();
    EXPECT_TRUE(doc.writePdf(path));
    return path;
  };
  const std::string thai = write("thai.pdf", "Page %1 ข", "Noto Sans Thai");
  const std::string latin = write("latin.pdf", "Other %1", "Noto Sans");
  const std::string bytes = test::readFile(latin);
  const std::string cut = (dir.path() / "cut.pdf").string();
  test::writeFile(cut, bytes.substr(0, bytes.size() / 2) + bytes.substr(bytes.size() - 60));
  const std::string joined = (dir.path() / "joined.pdf").string();

  joinPdfFiles({thai, latin, thai}, joined);
  const std::string info = commandOutput("pdfinfo '" + joined + "' 2>&1");
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  EXPECT_NE(info.find("Pages:           9\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Title:           (Parts) \\ 1 0 R\n"), std::string::npos) << info;
  const std::string text = runPdfToText(joined);
  std::size_t at = 0;
  for (int i = 0; i < 9; ++i) {
    const int n = i % 3 + 1;
    at = text.find(i / 3 == 1 ? "Other " + std::to_string(n) : "Page " + std::to_string(n) + " ข",
                   at);
    ASSERT_NE(at, std::string::npos) << "page " << i + 1;
  }
  try {
    joinPdfFiles({thai, cut}, joined);
    ADD_FAILURE() << "a part cut short was joined";
  } catch (const Failure& f) {
    EXPECT_NE(std::string(f.what()).find(cut), std::string::npos) << f.what();
  }
}

}  // namespace
}  // namespace bs
