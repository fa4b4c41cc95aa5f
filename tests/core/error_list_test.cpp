#include "core/error_list.h"

#include <gtest/gtest.h>

#include "core/scripted_ui.h"
#include "core/session.h"

namespace bs {
namespace {

TEST(ErrorList, RowArithmeticAndColumns) {
  Form form;
  setUpErrorList(form);
  EXPECT_EQ(form.StringGrid1.rowCount(), 2);
  EXPECT_EQ(form.StringGrid1.colCount(), 8);
  addError(form, "002", "5", "49-64", "Debit Amount", "msg");
  addErrorWithParty(form, "003", "6", "4-9", "F", "m", "123", "Name");
  addErrorWithParty(form, "003", "7", "4-9", "F", "m", "", "");
  const Grid& g = form.StringGrid1;
  EXPECT_EQ(g.rowCount(), 5);
  EXPECT_EQ(g.cell(0, 1), "1");
  EXPECT_EQ(g.cell(0, 3), "3");
  EXPECT_EQ(g.cell(5, 1), "msg");
  EXPECT_EQ(g.cell(6, 1), "");
  EXPECT_EQ(g.cell(7, 2), "Name");
  EXPECT_EQ(g.storedCells(3), g.storedCells(1)) << "empty party cells look like addError";
  EXPECT_EQ(g.cell(0, 4), "");
  EXPECT_EQ(g.colWidth(5), 550);
  EXPECT_EQ(g.cell(7, 0), "Payee Name");
}

TEST(ErrorList, ClearKeepsHeaderTextsAndResetsSize) {
  Form form;
  setUpErrorList(form);
  addError(form, "002", "5", "49-64", "Debit Amount", "msg");
  clearErrorList(form);
  const Grid& g = form.StringGrid1;
  EXPECT_EQ(g.rowCount(), 2);
  EXPECT_EQ(g.colCount(), 2);
  EXPECT_EQ(g.cell(0, 0), "No.");
  EXPECT_EQ(g.cell(1, 0), "Record Type");
  EXPECT_EQ(g.cell(5, 0), "Message") << "a cell beyond the column count keeps its text";
  EXPECT_EQ(g.cell(1, 1), "");
}

TEST(ErrorList, ReportFaultFollowsTheConvention) {
  ScriptedUi ui;
  Session s(ui, {}, Clock::fixed("20240101"));
  setUpErrorList(s.form);
  s.state.batchValid = true;
  reportFault(s, "999", 12, "4-9", "Total", "bad");
  EXPECT_FALSE(s.state.batchValid);
  EXPECT_TRUE(s.form.btnSaveError.enabled);
  EXPECT_EQ(s.form.Label4.caption, "Invalid data fields");
  EXPECT_EQ(s.form.StringGrid1.cell(2, 1), "12");
}

}  // namespace
}  // namespace bs
