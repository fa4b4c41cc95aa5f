#include <gtest/gtest.h>

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "core/scripted_ui.h"
#include "reports/engine/report_document.h"
#include "store/table_store.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"
#include "support/test_support.h"

namespace bs {
namespace {

struct CountingUi : ScriptedUi {
  std::vector<QString> texts;
  void showReport(const ReportDocument& doc) override {
    ScriptedUi::showReport(doc);
    QString all;
    for (int p = 0; p < doc.pageCount(); ++p) all += doc.pageText(p) + "\n";
    texts.push_back(all);
  }
};

// A whole batch run over the table store, then "Report" on what it stored.
TEST(SealedBatchReports, TheRunFillsTheStoredTablesThatReportPrints) {
  ensureGuiApplication();
  test::TempDir dir;
  auto home = test::makeProgramFolder(dir);
  CountingUi ui;
  Session session{ui, ProgramPaths{home}, Clock::fixed(std::string(test::kToday))};
  setUpSession(session);
  runCommand(session, FormCreate);

  auto input = dir / "pay.txt";
  test::writeFile(input,
                  test::joinLines({
                      test::headerLine("COMP'01"),
                      test::debitLine("MCL", 3000000, 2),
                      test::CreditLine("MCL").set(test::credit::amount, test::amount16(1000000)),
                      test::payeeLineEnglish("O'BRIEN"),
                      test::CreditLine("MCL").set(test::credit::amount, test::amount16(2000000)),
                      test::payeeLineEnglish("SMITH"),
                      test::trailerLine(1, 2, 3000000),
                  }));
  session.form.edtFileInput.text = input.string();
  session.form.edtZip.text = (dir / "out.zip").string();
  ASSERT_TRUE(runCommand(session, ToolButton3Click));
  ASSERT_TRUE(session.state.reportReady) << (ui.messages().empty() ? "" : ui.messages().back());

  auto rows = session.store->readAll("ReportTable.DAT");
  ASSERT_EQ(rows.rows.size(), 1u);
  auto detail = session.store->readAll("ReportTableDetail.DAT");
  ASSERT_EQ(detail.rows.size(), 2u);

  ASSERT_TRUE(runCommand(session, ToolButton4Click));
  ASSERT_EQ(ui.reportsShown, 1);
  EXPECT_TRUE(ui.texts[0].contains("O'BRIEN"));
  EXPECT_TRUE(ui.texts[0].contains("COMP'01"));
  EXPECT_TRUE(ui.texts[0].contains("Media Clearing"));
  EXPECT_TRUE(ui.texts[0].contains("3,000.00"));
}

}  // namespace
}  // namespace bs
