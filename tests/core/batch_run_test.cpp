#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/commands.h"
#include "core/failure.h"
#include "core/scripted_ui.h"
#include "payment_lines.h"

namespace bs {
namespace {

using test::credit;
using test::debit;
using test::header;
using test::joinLines;
using test::trailer;
using test::withMark;

// What the stand-in later steps did.
struct StepLog {
  bool filled = false;
  int summaries = 0;
  int reportTables = 0;
  int outputs = 0;
};
StepLog gSteps;

const std::string kHash(40, 'A');

void installSteps(Session& s) {
  gSteps = {};
  s.steps.fillNotificationFlags = [](Session&) { gSteps.filled = true; };
  s.steps.fillPaymentSummary = [](Session& session) {
    ++gSteps.summaries;
    clearErrorList(session.form);
    session.form.StringGrid1.setCells(0, {"Summary"});
    session.form.Label5.caption = "Summary of payments";
    session.state.reportReady = true;
  };
  s.steps.fillReportTable = [](Session&) { ++gSteps.reportTables; };
  s.steps.writeHashedOutput = [](Session& session) {
    ++gSteps.outputs;
    session.form.edtHashvalue.text = kHash;
  };
}

std::vector<std::string> repeat(const std::string& line, int n) {
  return std::vector<std::string>(static_cast<std::size_t>(n), line);
}

std::vector<std::string> concat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const std::vector<std::string> kClean = {header(), debit("1000", "1"), credit("1000"), trailer()};
const std::vector<std::string> kBadDebitAccount = {header(), withMark(debit("1000", "1"), "INV"),
                                                   credit("1000"), trailer()};

enum class GridShows { Emptied, TypeRows, LengthRows, LengthHeader, ErrorRows, Summary };

struct RunCase {
  const char* name;
  std::vector<std::string> lines;
  std::string input = "pay.txt";  // below the test folder; "" leaves the box empty
  bool newFile = false;
  std::string newFileName{};
  std::string zip = "out.zip";
  std::vector<Answer> answers{};
  // Expected.
  std::vector<std::string> messages{};  // "kind:text"
  GridShows grid = GridShows::Emptied;
  std::string label4{};
  bool saveEnabled = false;
  bool filled = false;
};

const std::string kDone = "information:Generate hash value and add file to out.zip completed";
const std::string kErrorData = "information:Error Data !";
const std::string kPrompt =
    "warning:There are some invalid ZNB Account.  Please choose action to do. ";
const std::string kConfirm = "confirm:Please Confirm to Ignore invalid ZNB Account. ";
const std::string kExpress =
    "error:Error Data.  Express Cheque should not more than  20 transaction ";

TEST(BatchRun, OutcomesOfARun) {
  const std::vector<RunCase> cases = {
      {.name = "no input file name",
       .lines = kClean,
       .input = "",
       .messages = {"information:Input File does not exist"},
       .grid = GridShows::Emptied,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "input file missing",
       .lines = kClean,
       .input = "missing.txt",
       .messages = {"information:Input File does not exist"},
       .grid = GridShows::Emptied,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "input names a folder",
       .lines = kClean,
       .input = ".",
       .messages = {"information:Input File does not exist"},
       .grid = GridShows::Emptied,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "new file chosen without a name",
       .lines = kClean,
       .newFile = true,
       .messages = {"information:If you select new file for output , should be insert file name"},
       .grid = GridShows::Emptied,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "no archive name",
       .lines = kClean,
       .zip = "",
       .messages = {"information:Please insert zip file name"},
       .grid = GridShows::Emptied,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "archive named .rar",
       .lines = kClean,
       .zip = "out.rar",
       .messages = {"information:Invalid zip file name"},
       .grid = GridShows::Emptied,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "archive name ending in a bare dot",
       .lines = kClean,
       .zip = "out.",
       .messages = {"information:Invalid zip file name"},
       .grid = GridShows::Emptied,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "archive name without extension",
       .lines = kClean,
       .zip = "out",
       .messages = {"information:Generate hash value and add file to out completed"},
       .grid = GridShows::Summary,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
      {.name = "archive extension in mixed case",
       .lines = kClean,
       .zip = "out.ZiP",
       .messages = {"information:Generate hash value and add file to out.ZiP completed"},
       .grid = GridShows::Summary,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
      {.name = "a dot in a folder name is no extension",
       .lines = kClean,
       .zip = "c:\\v1.2\\out",
       .messages = {"information:Generate hash value and add file to c:\\v1.2\\out completed"},
       .grid = GridShows::Summary,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
      {.name = "unknown record type",
       .lines = {header(), "XYZ", trailer()},
       .messages = {kErrorData},
       .grid = GridShows::TypeRows,
       .label4 = "Record type invalid code",
       .saveEnabled = true,
       .filled = false},
      {.name = "record of the wrong length",
       .lines = {header(), debit("1000", "1") + " ", trailer()},
       .messages = {kErrorData},
       .grid = GridShows::LengthRows,
       .label4 = "Length in record invalid",
       .saveEnabled = true,
       .filled = false},
      {.name = "21 express cheques under XMQ",
       .lines =
           concat({{header(), debit("21", "21", "XMQ")}, repeat(credit("1"), 21), {trailer()}}),
       .messages = {kExpress},
       .grid = GridShows::LengthHeader,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "11 and 11 under two XMQ debits count together",
       .lines = concat({{header(), debit("11", "11", "XMQ")},
                        repeat(credit("1"), 11),
                        {debit("11", "11", "XMQ")},
                        repeat(credit("1"), 11),
                        {trailer()}}),
       .messages = {kExpress},
       .grid = GridShows::LengthHeader,
       .label4 = "",
       .saveEnabled = false,
       .filled = false},
      {.name = "20 under XMQ and 20 under XDQ pass",
       .lines = concat({{header(), debit("20", "20", "XMQ")},
                        repeat(credit("1"), 20),
                        {debit("20", "20", "XDQ")},
                        repeat(credit("1"), 20),
                        {trailer()}}),
       .messages = {kDone},
       .grid = GridShows::Summary,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
      {.name = "credits before any debit count for neither product",
       .lines = concat({{header()},
                        repeat(credit("0"), 21),
                        {debit("10", "1", "XMQ")},
                        {credit("10"), trailer()}}),
       .messages = {kDone},
       .grid = GridShows::Summary,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
      {.name = "validation errors",
       .lines = {header(), withMark(debit("1000", "1"), "BAD"), credit("1000"), trailer()},
       .messages = {kErrorData},
       .grid = GridShows::ErrorRows,
       .label4 = "Invalid data fields",
       .saveEnabled = true,
       .filled = true},
      {.name = "only failed home-bank credit accounts",
       .lines = {header(), debit("1000", "1"), withMark(credit("1000"), "INV"), trailer()},
       .messages = {kErrorData},
       .grid = GridShows::ErrorRows,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
      {.name = "failed debit account, Abort",
       .lines = kBadDebitAccount,
       .answers = {Answer::Abort},
       .messages = {kPrompt, "error:Error Data"},
       .grid = GridShows::ErrorRows,
       .label4 = "Invalid data fields",
       .saveEnabled = true,
       .filled = true},
      {.name = "failed debit account, Ignore then Cancel",
       .lines = kBadDebitAccount,
       .answers = {Answer::Ignore, Answer::Cancel},
       .messages = {kPrompt, kConfirm, "error:Error Data"},
       .grid = GridShows::ErrorRows,
       .label4 = "Invalid data fields",
       .saveEnabled = true,
       .filled = true},
      {.name = "failed debit account, Ignore then confirmation closed",
       .lines = kBadDebitAccount,
       .answers = {Answer::Ignore, Answer::Closed},
       .messages = {kPrompt, kConfirm, "error:Error Data"},
       .grid = GridShows::ErrorRows,
       .label4 = "Invalid data fields",
       .saveEnabled = true,
       .filled = true},
      {.name = "failed debit account, prompt closed",
       .lines = kBadDebitAccount,
       .answers = {Answer::Closed},
       .messages = {kPrompt},
       .grid = GridShows::ErrorRows,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
      {.name = "failed debit account, Ignore then Yes",
       .lines = kBadDebitAccount,
       .answers = {Answer::Ignore, Answer::Yes},
       .messages = {kPrompt, kConfirm, kDone},
       .grid = GridShows::Summary,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
      {.name = "clean batch to a new file",
       .lines = kClean,
       .newFile = true,
       .newFileName = "new.txt",
       .messages = {kDone},
       .grid = GridShows::Summary,
       .label4 = "",
       .saveEnabled = false,
       .filled = true},
  };

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    ScriptedUi ui;
    Session s(ui, {}, Clock::fixed("20240101"));
    test::stub::install(s);
    installSteps(s);
    test::writeFile(dir / "pay.txt", joinLines(c.lines));

    // What an earlier run left behind, which this run must reset.
    s.state.reportReady = true;
    s.state.invalidAccountCount = 3;
    s.form.edtHashvalue.text = "OLD";
    s.form.Label4.caption = "old";
    s.form.Label5.caption = "old";
    s.form.btnSaveError.enabled = true;
    setUpErrorList(s.form);
    addError(s.form, "002", "1", "1-3", "F", "old");

    s.form.edtFileInput.text = c.input.empty() ? "" : (dir / c.input).string();
    if (c.newFile) checkNew(s);
    s.form.edtNewFile.text = c.newFileName;
    s.form.edtZip.text = c.zip;
    ui.answers.assign(c.answers.begin(), c.answers.end());

    ToolButton3Click(s);

    std::vector<std::string> messages;
    for (const auto& m : ui.shown) messages.push_back(m.kind + ":" + m.text);
    EXPECT_EQ(messages, c.messages);

    const Grid& g = s.form.StringGrid1;
    switch (c.grid) {
      case GridShows::Emptied:
        EXPECT_EQ(g.rowCount(), 2);
        EXPECT_EQ(g.colCount(), 2);
        EXPECT_EQ(g.cell(5, 1), "");
        break;
      case GridShows::TypeRows:
        EXPECT_EQ(g.colCount(), 2);
        EXPECT_EQ(g.rowCount(), 3);
        EXPECT_EQ(g.cell(1, 1), "2");
        break;
      case GridShows::LengthRows:
        EXPECT_EQ(g.colCount(), 3);
        EXPECT_EQ(g.rowCount(), 3);
        EXPECT_EQ(g.cell(1, 1), "002");
        break;
      case GridShows::LengthHeader:
        EXPECT_EQ(g.colCount(), 3);
        EXPECT_EQ(g.rowCount(), 2);
        EXPECT_EQ(g.cell(1, 0), "Record Type");
        break;
      case GridShows::ErrorRows:
        EXPECT_EQ(g.colCount(), 8);
        EXPECT_EQ(g.rowCount(), 3);
        break;
      case GridShows::Summary:
        EXPECT_EQ(g.cell(0, 0), "Summary");
        break;
    }
    const bool success = c.grid == GridShows::Summary;
    EXPECT_EQ(s.form.Label4.caption, c.label4);
    EXPECT_EQ(s.form.btnSaveError.enabled, c.saveEnabled);
    EXPECT_EQ(s.form.edtHashvalue.text, success ? kHash : "");
    EXPECT_EQ(s.form.Label5.caption, success ? "Summary of payments" : "");
    EXPECT_EQ(s.state.reportReady, success);
    EXPECT_EQ(gSteps.filled, c.filled);
    EXPECT_EQ(gSteps.summaries, success ? 1 : 0);
    EXPECT_EQ(gSteps.reportTables, success ? 1 : 0);
    EXPECT_EQ(gSteps.outputs, success ? 1 : 0);
    if (c.grid == GridShows::Emptied) {
      EXPECT_EQ(s.state.invalidAccountCount, 0);
    }
  }
}

TEST(BatchRun, ResolveInvalidAccountsStoresTheAnswer) {
  const struct {
    std::vector<Answer> answers;
    bool goOn;
    bool batchValid;
  } cases[] = {
      {{Answer::Ignore, Answer::Yes}, true, true},
      {{Answer::Ignore, Answer::Cancel}, false, false},
      {{Answer::Abort}, false, false},
      {{Answer::Closed}, false, true},
  };
  for (const auto& c : cases) {
    ScriptedUi ui;
    Session s(ui, {}, Clock::fixed("20240101"));
    s.state.batchValid = true;
    ui.answers.assign(c.answers.begin(), c.answers.end());
    EXPECT_EQ(resolveInvalidAccounts(s), c.goOn);
    EXPECT_EQ(s.state.invalidAccountAction, c.answers.front());
    EXPECT_EQ(s.state.batchValid, c.batchValid);
  }
}

TEST(BatchRun, AStepNotInThisBuildEndsTheRunWithoutSuccess) {
  test::TempDir dir;
  ScriptedUi ui;
  Session s(ui, {}, Clock::fixed("20240101"));
  test::stub::install(s);
  installSteps(s);
  s.steps.writeHashedOutput = nullptr;
  test::writeFile(dir / "pay.txt", joinLines(kClean));
  s.form.edtFileInput.text = (dir / "pay.txt").string();
  s.form.edtZip.text = "out.zip";

  EXPECT_FALSE(runCommand(s, &ToolButton3Click));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].kind, "error");
  EXPECT_EQ(ui.shown[0].text, "This build of Batchseal cannot write the hashed output file yet.");
  EXPECT_TRUE(s.form.edtHashvalue.text.empty());
}

TEST(BatchRun, AConversionErrorInValidationStopsBeforeAnyOutput) {
  test::TempDir dir;
  ScriptedUi ui;
  Session s(ui, {}, Clock::fixed("20240101"));
  test::stub::install(s);
  installSteps(s);
  test::writeFile(dir / "pay.txt",
                  joinLines({header(), debit("10", "0000X1"), credit("10"), trailer()}));
  s.form.edtFileInput.text = (dir / "pay.txt").string();
  s.form.edtZip.text = "out.zip";

  EXPECT_FALSE(runCommand(s, &ToolButton3Click));
  ASSERT_EQ(ui.messages(), std::vector<std::string>{"'0000X1' is not a valid integer value"});
  EXPECT_TRUE(gSteps.filled);
  EXPECT_EQ(gSteps.summaries + gSteps.outputs, 0);
}

}  // namespace
}  // namespace bs
