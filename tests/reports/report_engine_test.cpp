#include "reports/engine/report_engine.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <clocale>

#include "core/failure.h"
#include "report_fixtures.h"
#include "reports/engine/thai_text.h"

namespace bs {
namespace {

std::optional<std::string> noNames(std::string_view) {
  return std::nullopt;
}

TEST(ReportExpression, LiteralsNumbersAndNames) {
  EXPECT_EQ(evaluateExpression("'O''Brien Co.'", noNames), "O'Brien Co.");
  EXPECT_EQ(evaluateExpression("''''", noNames), "'");
  EXPECT_EQ(evaluateExpression("''", noNames), "");
  EXPECT_EQ(evaluateExpression(" 35.5 ", noNames), "35.5");
  EXPECT_EQ(evaluateExpression("comId",
                               [](std::string_view n) -> std::optional<std::string> {
                                 if (n == "comId") return "X";
                                 return std::nullopt;
                               }),
            "X");
  for (const char* bad : {"'open", "'a' 'b'", "missing"})
    EXPECT_THROW(evaluateExpression(bad, noNames), Failure) << bad;
}

TEST(ReportTemplateFormat, MalformedTemplatesNameTheirLine) {
  const char* bad[] = {
      "page 210 297\n",                           // no format line
      "batchseal-report 1\ntext 0 0 10 5 | x\n",  // item before a band
      "batchseal-report 1\nband middle 5\n",      // unknown band
      "batchseal-report 1\nband detail 5\ntext 0 0 10 5 huge | x\n",
      "batchseal-report 1\nband detail 5\ntext 0 0 10 5\n",  // no content
      "batchseal-report 1\nband detail 400\n",               // does not fit a page
      "batchseal-report 1\nband detail 5\n| no keyword\n",
      "batchseal-report 1\nband detail 9,5\n",  // lengths take a decimal point
  };
  for (const char* text : bad) {
    try {
      parseReportTemplate(text, "T.frf");
      ADD_FAILURE() << text;
    } catch (const Failure& f) {
      EXPECT_NE(std::string(f.what()).find("\"T.frf\", line "), std::string::npos) << f.what();
    }
  }
}

// The user's locale may write numbers with a decimal comma; a template's do not change with it.
TEST(ReportTemplateFormat, LengthsReadTheSameUnderADecimalCommaLocale) {
  const std::string keep = std::setlocale(LC_ALL, nullptr);
  const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  ReportTemplate t = parseReportTemplate(
      "batchseal-report 1\nband summary 9.5\ntext 0.25 0 10 5 size=8.5 | x\n", "T.frf");
  std::setlocale(LC_ALL, keep.c_str());
  EXPECT_EQ(t.band(BandKind::Summary).height, 9.5);
  EXPECT_EQ(t.band(BandKind::Summary).items.at(0).x, 0.25);
  EXPECT_EQ(t.band(BandKind::Summary).items.at(0).sizePt, 8.5);
  if (!comma) GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed";
}

TEST(ReportTemplateFormat, AMissingTemplateLoadsNothingAndKeepsThePreviousOne) {
  test::TempDir dir;
  test::writeFile(dir / "A.frf", "batchseal-report 1\nband title 10\ntext 0 0 50 5 | first\n");
  ReportObject report;
  EXPECT_FALSE(report.loadFromFile(dir / "None.frf"));
  EXPECT_FALSE(report.hasTemplate());
  EXPECT_TRUE(report.loadFromFile(dir / "A.frf"));
  EXPECT_FALSE(report.loadFromFile(dir / "None.frf"));
  ASSERT_TRUE(report.hasTemplate());
  ReportDocument doc = prepareReports({&report}, false, nullptr);
  EXPECT_EQ(doc.pageText(0), "first");
}

// Ten rows of ReportTable in a report whose page holds four detail rows.
TEST(ReportPreparation, TwoPassCompositeKnowsTheTotalOnEveryPage) {
  reptest::FakeReportTables tables;
  for (int i = 1; i <= 10; ++i)
    tables.execSql(
        "Insert into ReportTable(Product,Value_Date,No_Of_Credit,Amount,dabit_Acc) "
        "Values('P" +
        std::to_string(i) + "','01/01/2024'," + std::to_string(i) + ",1000.5,'A')");
  const char* grid =
      "batchseal-report 1\npage 100 60\nmargins 5 5 5 5\n"
      "band title 8\ntext 0 0 90 8 | Title [comId]\n"
      "band columnheader 5\ntext 0 0 90 5 | Header\n"
      "band detail 6\ntext 0 0 90 6 | [LINE#] [Product] [Amount:#,##0.00]\n"
      "band summary 6\ntext 0 0 90 6 | Sum [SUM(Amount):#,##0.00] of [COUNT]\n"
      "band pagefooter 6\ntext 0 0 90 6 | Page [PAGE#] of [TOTALPAGES]\n";
  ReportObject first, second;
  first.setTemplate(parseReportTemplate(grid, "grid"));
  first.dataTable = std::string(kReportTableFile);
  first.setVariable("comId", "'A''B'");
  second.setTemplate(
      parseReportTemplate("batchseal-report 1\npage 100 60\nband title 10\ntext 0 0 90 5 | Second\n"
                          "band pagefooter 6\ntext 0 0 90 6 | Page [PAGE#] of [TOTALPAGES]\n",
                          "second"));

  ReportDocument doc = prepareReports({&first, &second}, true, &tables);
  // 60 mm less margins and footer leaves 44 mm: title and header, then 5 rows of 6 mm; later
  // pages have the header and 6 rows; the summary follows the last row.
  ASSERT_EQ(doc.pageCount(), 3);
  EXPECT_EQ(doc.pageText(0).split('\n').first(), "Title A'B");
  EXPECT_TRUE(doc.pageText(0).contains("1 P1 1,000.50"));
  EXPECT_TRUE(doc.pageText(0).endsWith("Page 1 of 3"));
  EXPECT_TRUE(doc.pageText(1).startsWith("Header"));
  EXPECT_TRUE(doc.pageText(1).contains("Sum 10,005.00 of 10"));
  EXPECT_TRUE(doc.pageText(1).endsWith("Page 2 of 3"));
  EXPECT_EQ(doc.pageText(2), "Second\nPage 3 of 3");
  ASSERT_EQ(doc.find("p10").size(), 1u);
  EXPECT_EQ(doc.find("p10")[0].page, 1);
  EXPECT_EQ(doc.variables(), (std::vector<std::pair<std::string, std::string>>{{"comId", "A'B"}}));

  // A report without a template adds no pages; a field naming nothing stops preparation.
  ReportObject empty;
  EXPECT_EQ(prepareReports({&empty}, true, &tables).pageCount(), 0);
  ReportObject unknown;
  unknown.setTemplate(parseReportTemplate(
      "batchseal-report 1\nband title 10\ntext 0 0 90 5 | [nothing]\n", "u.frf"));
  EXPECT_THROW(prepareReports({&unknown}, true, &tables), Failure);
}

// Page breaks come from the row count; a page laid out on its own, in any order, is the page
// laid out in turn.  The summary that does not fit below the last row gets a page of its own.
TEST(ReportPreparation, PagesLaidOutOnDemandAndTheSummaryPage) {
  struct Case {
    int rows;
    int pages;
    const char* lastPage;
  };
  // clang-format off
  const Case cases[] = {
      {0, 1, "Title\nHeader\nSum 0.00 of 0\nPage 1 of 1"},
      {4, 1, "Title\nHeader\n1 P1\n2 P2\n3 P3\n4 P4\nSum 10.00 of 4\nPage 1 of 1"},
      {5, 2, "Header\nSum 15.00 of 5\nPage 2 of 2"},
      {11, 3, "Header\nSum 66.00 of 11\nPage 3 of 3"},
  };
  // clang-format on
  for (const Case& c : cases) {
    reptest::FakeReportTables tables;
    for (int i = 1; i <= c.rows; ++i)
      tables.execSql(
          "Insert into ReportTable(Product,Value_Date,No_Of_Credit,Amount,dabit_Acc) "
          "Values('P" +
          std::to_string(i) + "','',1," + std::to_string(i) + ",'A')");
    ReportObject report;
    report.setTemplate(parseReportTemplate(
        "batchseal-report 1\npage 100 60\nmargins 5 5 5 5\nband title 8\ntext 0 0 90 8 | Title\n"
        "band columnheader 5\ntext 0 0 90 5 | Header\n"
        "band detail 6\ntext 0 0 90 6 | [LINE#] [Product]\n"
        "band summary 6\ntext 0 0 90 6 | Sum [SUM(Amount):#,##0.00] of [COUNT]\n"
        "band pagefooter 6\ntext 0 0 90 6 | Page [PAGE#] of [TOTALPAGES]\n",
        "grid"));
    report.dataTable = std::string(kReportTableFile);
    ReportDocument doc = prepareReports({&report}, true, &tables);
    ASSERT_EQ(doc.pageCount(), c.pages) << c.rows;
    EXPECT_EQ(doc.pageText(c.pages - 1), c.lastPage) << c.rows;
    QStringList forward, backward;
    for (int p = 0; p < doc.pageCount(); ++p) forward << doc.pageText(p);
    for (int p = doc.pageCount() - 1; p >= 0; --p) backward.prepend(doc.pageText(p));
    EXPECT_EQ(forward, backward) << c.rows;
    EXPECT_EQ(forward.join('\n').count(" P"), c.rows) << "every row once";
  }
}

TEST(ThaiText, Windows874DecodesThroughTheWindowsTable) {
  // Bytes where the Windows table and the IBM table of the same name disagree are pinned too.
  EXPECT_EQ(cp874ToUtf8("\xA1"), "\xE0\xB8\x81");        // KO KAI
  EXPECT_EQ(cp874ToUtf8("\xDF"), "\xE0\xB8\xBF");        // BAHT SIGN
  EXPECT_EQ(cp874ToUtf8("\x80"), "\xE2\x82\xAC");        // EURO SIGN
  EXPECT_EQ(cp874ToUtf8("\x96"), "\xE2\x80\x93");        // EN DASH
  EXPECT_EQ(cp874ToUtf8("AB \xE0"), "AB \xE0\xB9\x80");  // SARA E
  EXPECT_EQ(cp874ToUtf8("\xFF"), "\xEF\xBF\xBD");        // unmapped
}

}  // namespace
}  // namespace bs
