#include "reports/payment_summary.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/failure.h"
#include "core/scripted_ui.h"
#include "core/text_lines.h"
#include "report_fixtures.h"

namespace bs {
namespace {

using reptest::FakeReportTables;

struct SummaryFixture : ::testing::Test {
  test::TempDir dir;
  ScriptedUi ui;
  Session session{ui, ProgramPaths{dir.path()}, Clock::fixed("20240101")};
  FakeReportTables tables;

  void useFile(const std::vector<std::string>& lines, std::string product = "PAY") {
    auto path = dir / "pay.txt";
    test::writeFile(path, test::joinLines(lines));
    session.form.edtFileInput.text = path.string();
    session.state.currentProduct = std::move(product);
    session.state.companyId = "COMP01";
  }
  std::vector<std::string> row(int r) {
    std::vector<std::string> out;
    for (int c = 0; c <= 6; ++c) out.emplace_back(session.form.StringGrid1.cell(c, r));
    return out;
  }
};

const std::string kAcc1 = "1234567890";
const std::string kAcc2 = "9876543210";

std::vector<std::string> twoDebitBatch() {
  return {reptest::headerLine("COMP01", "REF-ABCDEFGHIJKLMN"),
          reptest::debitLine("PAY", "20240131", kAcc1, 1234567890, 2),
          reptest::creditLine("1111111111", 1000000000, "025", 1000000000),
          reptest::payeeLine("", "JOHN SMITH"),
          reptest::whtLine(100000),
          reptest::whtLine(50500),
          reptest::creditLine("2222222222", 234567890),
          reptest::payeeLine("\xCA\xC1\xAA\xD2\xC2", "SOMCHAI"),
          reptest::invoiceLine(7000),
          reptest::debitLine("MCL", "20240201", kAcc2, 500000, 1),
          reptest::creditLine("3333333333", 500000),
          reptest::payeeLine("", "O'BRIEN CO."),
          reptest::trailerLine(3, 1235067890)};
}

TEST_F(SummaryFixture, PaymentBatchGivesSummaryRowsATotalRowAndOneDetailRowPerCredit) {
  useFile(twoDebitBatch());
  fillPaymentSummary(session, tables);
  const Grid& g = session.form.StringGrid1;
  ASSERT_EQ(g.rowCount(), 4);
  EXPECT_EQ(g.colCount(), 6);
  EXPECT_EQ(row(0), (std::vector<std::string>{"No.", "Product Type", "Value Date", "No. of Credit",
                                              "Amount", "", "dabit_Account_NO"}));
  std::string acc1Field = kAcc1 + std::string(15, ' ');
  std::string acc2Field = kAcc2 + std::string(15, ' ');
  EXPECT_EQ(row(1), (std::vector<std::string>{"1", "Payroll", "31/01/2024", "2", "1,234,567.89",
                                              "1234567.89", acc1Field}));
  EXPECT_EQ(row(2), (std::vector<std::string>{"2", "Media Clearing", "01/02/2024", "1", "500.00",
                                              "500.00", acc2Field}));
  EXPECT_EQ(row(3), (std::vector<std::string>{"", "", "Total", "3", "1,235,067.89", "", ""}));
  EXPECT_EQ(g.colWidth(5), 0);
  EXPECT_EQ(g.colWidth(1), 200);

  EXPECT_EQ(tables.emptied, (std::vector<std::string>{"ReportTable.DAT", "ReportTableDetail.DAT"}));
  ASSERT_EQ(tables.detail.size(), 3u);
  const DetailRow& a = tables.detail[0];
  EXPECT_EQ(a.No, 1);
  EXPECT_EQ(a.Product, "Payroll");
  EXPECT_EQ(a.dabit_Acc, acc1Field);
  EXPECT_EQ(a.NameEng, "JOHN SMITH" + std::string(60, ' '));  // Thai name blank: English name
  EXPECT_EQ(a.CreditAmount, "0000001000000.000");
  EXPECT_EQ(a.TotalInvoidAmount, "0000001000000.000");
  EXPECT_EQ(a.TotalWHTAmount, "150.5");
  EXPECT_EQ(a.VATAmount, "");
  EXPECT_EQ(a.DeliveryMode, "S");
  EXPECT_EQ(a.PickupLocation, "B001");
  EXPECT_EQ(a.Customer_Ref, "REF-ABCDEFGH");
  EXPECT_EQ(a.CreditAccount, "1111111111" + std::string(15, ' '));
  const DetailRow& b = tables.detail[1];
  EXPECT_EQ(b.No, 2);
  EXPECT_EQ(b.NameEng.substr(0, 5), "\xCA\xC1\xAA\xD2\xC2");
  EXPECT_EQ(b.NameEng.size(), 100u);
  EXPECT_EQ(b.TotalWHTAmount, "");  // sums restart with every credit
  EXPECT_EQ(b.VATAmount, "7");
  const DetailRow& c = tables.detail[2];
  EXPECT_EQ(c.No, 1);
  EXPECT_EQ(c.Product, "Media Clearing");
  EXPECT_EQ(c.dabit_Acc, acc2Field);

  EXPECT_TRUE(session.state.reportReady);
  EXPECT_EQ(session.state.customerRef, "REF-ABCDEFGH");
  EXPECT_EQ(session.state.debitAccount, acc2Field);
  EXPECT_EQ(session.form.Label5.caption, "PAYMENT DETAIL");
  EXPECT_EQ(session.form.Label4.caption, "Company ID : COMP01");
}

TEST_F(SummaryFixture, ACreditWithoutDetailLinesKeepsNothingOfTheCreditBeforeIt) {
  useFile({reptest::headerLine("COMP01", "REF"),
           reptest::debitLine("PAY", "20240131", kAcc1, 3000, 2),
           reptest::creditLine("1111111111", 1000, "025", 1000), reptest::payeeLine("", "FIRST"),
           reptest::whtLine(100), reptest::invoiceLine(70), reptest::creditLine("2", 2000),
           reptest::trailerLine(2, 3000)});
  fillPaymentSummary(session, tables);
  ASSERT_EQ(tables.detail.size(), 2u);
  const DetailRow& second = tables.detail[1];
  EXPECT_EQ(second.No, 2);
  EXPECT_EQ(second.NameEng, "");
  EXPECT_EQ(second.TotalWHTAmount, "");
  EXPECT_EQ(second.VATAmount, "");
  EXPECT_EQ(second.CreditAccount, "2" + std::string(24, ' '));
  EXPECT_EQ(second.TotalInvoidAmount, "0000000000000.000");
  EXPECT_EQ(second.Product, "Payroll");
}

TEST_F(SummaryFixture, DirectDebitBatchListsItsRecordsWithoutTotalOrDetail) {
  useFile({reptest::headerLine("COMP01", "DDREF"), reptest::directDebitLine("20240131", 100000, 1),
           reptest::directDebitLine("20240201", 200000, 12),
           reptest::directDebitLine("20240202", 300000, 3), reptest::trailerLine(0, 0)},
          "DDR");
  session.state.debitAccount = "kept from before";
  fillPaymentSummary(session, tables);
  const Grid& g = session.form.StringGrid1;
  ASSERT_EQ(g.rowCount(), 5);
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(g.cell(1, r), "Direct Debit");
  EXPECT_EQ(row(2), (std::vector<std::string>{"2", "Direct Debit", "01/02/2024", "12", "200.00",
                                              "200.00", ""}));
  EXPECT_EQ(row(4), (std::vector<std::string>(7, "")));
  EXPECT_TRUE(tables.detail.empty());
  EXPECT_EQ(session.state.debitAccount, "kept from before");  // no 002 line in the file
}

TEST_F(SummaryFixture, ATextThatDoesNotConvertEndsTheRunAndKeepsWhatWasWritten) {
  std::string badDebit = reptest::debitLine("PAY", "20240131", kAcc1, 1000, 1);
  badDebit.replace(48, 3, "1X0");
  useFile({reptest::headerLine("COMP01", "REF"),
           reptest::debitLine("PAY", "20240131", kAcc1, 1000, 1), reptest::creditLine("1", 1000),
           reptest::payeeLine("", "A"), badDebit, reptest::trailerLine(1, 1000)});
  try {
    fillPaymentSummary(session, tables);
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_STREQ(f.what(), "'1X00000000001.000' is not a valid floating point value");
  }
  EXPECT_TRUE(session.state.reportReady);
  EXPECT_EQ(tables.detail.size(), 1u);
  EXPECT_EQ(session.form.StringGrid1.cell(1, 1), "Payroll");
}

TEST_F(SummaryFixture, ReportTableGetsOneInsertPerSummaryRowWithQuotesDoubled) {
  useFile(twoDebitBatch());
  fillPaymentSummary(session, tables);
  // A text with a quote, as a product name could carry one.
  session.form.StringGrid1.setCell(1, 2, "Media 'Clearing'");
  fillReportTable(session, tables);
  std::string acc1Field = kAcc1 + std::string(15, ' ');
  ASSERT_EQ(tables.statements.size(), 3u);
  EXPECT_EQ(tables.statements[0], "Delete From ReportTable");
  EXPECT_EQ(tables.statements[1],
            "Insert into ReportTable(Product,Value_Date,No_Of_Credit,Amount,dabit_Acc) "
            "Values('Payroll','31/01/2024',2,1234567.89,'" +
                acc1Field + "')");
  EXPECT_NE(tables.statements[2].find("'Media ''Clearing'''"), std::string::npos);
  auto rows = tables.query("SELECT Product, No_Of_Credit, Amount, dabit_Acc FROM ReportTable");
  ASSERT_EQ(rows.size(), 2u);  // the Total row is never inserted
  EXPECT_EQ(rows[0][3], acc1Field);
  EXPECT_EQ(rows[1][0], "Media 'Clearing'");
  EXPECT_EQ(rows[1][1], "1");

  // A second batch replaces the first one's rows in both tables.
  useFile({reptest::headerLine("COMP02", "REF2"),
           reptest::debitLine("BNT", "20240301", kAcc2, 7000, 1),
           reptest::creditLine("4444444444", 7000), reptest::payeeLine("", "B"),
           reptest::trailerLine(1, 7000)});
  fillPaymentSummary(session, tables);
  fillReportTable(session, tables);
  rows = tables.query("SELECT Product FROM ReportTable");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "BahtNet");
  EXPECT_EQ(tables.detail.size(), 1u);
}

TEST_F(SummaryFixture, DirectDebitRowsGoInWithAnEmptyAccountAndNoSummaryOnlyDeletes) {
  useFile({reptest::headerLine("C", "R"), reptest::directDebitLine("20240131", 100000, 1),
           reptest::trailerLine(0, 0)},
          "DDR");
  fillPaymentSummary(session, tables);
  fillReportTable(session, tables);
  ASSERT_EQ(tables.statements.size(), 2u);
  EXPECT_EQ(tables.statements[1].substr(tables.statements[1].size() - 4), ",'')");

  session.form.StringGrid1.setRowCount(2);
  tables.statements.clear();
  fillReportTable(session, tables);
  EXPECT_EQ(tables.statements, (std::vector<std::string>{"Delete From ReportTable"}));
}

// The summary gathered from the validation pass's lines comes out as the one read from the file:
// grid, detail rows, batch state, and a failure at the same point with the same rows written.
TEST_F(SummaryFixture, AGatheredSummaryIsTheSummaryReadFromTheFile) {
  std::string badDebit = reptest::debitLine("PAY", "20240131", kAcc1, 1000, 1);
  badDebit.replace(48, 3, "1X0");
  std::vector<std::string> noTrailer = twoDebitBatch();
  noTrailer.pop_back();
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string product;
  };
  // clang-format off
  const Case cases[] = {
      {"two debits", twoDebitBatch(), "PAY"},
      {"no trailer", noTrailer, "MCL"},
      {"no header", {reptest::debitLine("PAY", "20240131", kAcc1, 1000, 1), reptest::creditLine("1", 1000)}, "PAY"},
      {"direct debit", {reptest::headerLine("C", "DDREF"), reptest::debitLine("PAY", "20240131", kAcc1, 1, 0), reptest::directDebitLine("20240131", 100000, 1), reptest::trailerLine(0, 0)}, "DDR"},
      {"does not convert", {reptest::headerLine("C", "R"), reptest::debitLine("PAY", "20240131", kAcc1, 1000, 1), reptest::creditLine("1", 1000), badDebit}, "PAY"},
  };
  // clang-format on
  struct Result {
    std::vector<std::vector<std::string>> grid;
    std::vector<std::vector<std::string>> detail;
    std::string customerRef, debitAccount, failure;
  };
  for (const Case& c : cases) {
    Result results[2];
    for (int gathered = 0; gathered < 2; ++gathered) {
      tables.detail.clear();
      session.state.customerRef = "from before";
      session.state.debitAccount = "from before";
      useFile(c.lines, c.product);
      std::optional<SummaryGatherer> gatherer;
      if (gathered) {
        gatherer.emplace(dir.path().string(), session.state);
        LineReader reader(session.form.edtFileInput.text);
        std::string_view line;
        while (reader.next(line)) gatherer->line(line);
        gatherer->finish();
      }
      Result& r = results[gathered];
      try {
        fillPaymentSummary(session, tables, gatherer ? &*gatherer : nullptr);
      } catch (const Failure& f) {
        r.failure = f.message();
      }
      for (int i = 0; i < session.form.StringGrid1.rowCount(); ++i) r.grid.push_back(row(i));
      for (const DetailRow& d : tables.detail)
        r.detail.push_back({std::to_string(d.No), d.Product, d.NameEng, d.CreditAmount,
                            d.CreditAccount, d.TotalInvoidAmount, d.TotalWHTAmount, d.DeliveryMode,
                            d.PickupLocation, d.VATAmount, d.Customer_Ref, d.dabit_Acc});
      r.customerRef = session.state.customerRef;
      r.debitAccount = session.state.debitAccount;
    }
    EXPECT_EQ(results[1].grid, results[0].grid) << c.name;
    EXPECT_EQ(results[1].detail, results[0].detail) << c.name;
    EXPECT_EQ(results[1].customerRef, results[0].customerRef) << c.name;
    EXPECT_EQ(results[1].debitAccount, results[0].debitAccount) << c.name;
    EXPECT_EQ(results[1].failure, results[0].failure) << c.name;
    EXPECT_GT(results[0].grid.size(), 2u) << c.name;
  }
}

}  // namespace
}  // namespace bs
