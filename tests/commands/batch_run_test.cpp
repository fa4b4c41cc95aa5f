#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/commands.h"
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
using enum GridShows;

struct RunCase {
  const char* name;
  std::vector<std::string> lines;
  std::string input;    // below the test folder; "" leaves the box empty
  const char* newFile;  // nullptr: Replace mode
  std::string zip;
  std::vector<Answer> answers;
  // Expected.
  std::vector<std::string> messages;  // "kind:text"
  GridShows grid;
  std::string label4;
  bool saveEnabled;
  bool filled;
};

const std::string kNoInput = "information:Input File does not exist";
const std::string kBadZip = "information:Invalid zip file name";
const std::string kDone = "information:Generate hash value and add file to out.zip completed";
const std::string kErrorData = "information:Error Data !";
const std::string kPrompt =
    "warning:There are some invalid ZNB Account.  Please choose action to do. ";
const std::string kConfirm = "confirm:Please Confirm to Ignore invalid ZNB Account. ";
const std::string kExpress =
    "error:Error Data.  Express Cheque should not more than  20 transaction ";
const std::string kInvalid = "Invalid data fields";

std::string done(const std::string& zip) {
  return "information:Generate hash value and add file to " + zip + " completed";
}

TEST(BatchRun, OutcomesOfARun) {
  const std::string pay = "pay.txt";
  const std::string zip = "out.zip";
  const auto xmq = [](const char* n) { return debit(n, n, "XMQ"); };
  // clang-format off
  const std::vector<RunCase> cases = {
      // Name checks.
      {"no input file name", kClean, "", nullptr, zip, {}, {kNoInput}, Emptied, "", 0, 0},
      {"input file missing", kClean, "missing.txt", nullptr, zip, {}, {kNoInput}, Emptied, "",
       0, 0},
      {"input names a folder", kClean, ".", nullptr, zip, {}, {kNoInput}, Emptied, "", 0, 0},
      {"new file chosen without a name", kClean, pay, "", zip, {},
       {"information:If you select new file for output , should be insert file name"},
       Emptied, "", 0, 0},
      {"no archive name", kClean, pay, nullptr, "", {},
       {"information:Please insert zip file name"}, Emptied, "", 0, 0},
      {"archive named .rar", kClean, pay, nullptr, "out.rar", {}, {kBadZip}, Emptied, "", 0, 0},
      {"archive name ending in a bare dot", kClean, pay, nullptr, "out.", {}, {kBadZip},
       Emptied, "", 0, 0},
      {"archive name without extension", kClean, pay, nullptr, "out", {}, {done("out")},
       Summary, "", 0, 1},
      {"archive extension in mixed case", kClean, pay, nullptr, "out.ZiP", {},
       {done("out.ZiP")}, Summary, "", 0, 1},
      {"a dot in a folder name is no extension", kClean, pay, nullptr, "c:\\v1.2\\out", {},
       {done("c:\\v1.2\\out")}, Summary, "", 0, 1},
      // Structure pre-checks.
      {"unknown record type", {header(), "XYZ", trailer()}, pay, nullptr, zip, {},
       {kErrorData}, TypeRows, "Record type invalid code", 1, 0},
      {"record of the wrong length", {header(), debit("1000", "1") + " ", trailer()}, pay,
       nullptr, zip, {}, {kErrorData}, LengthRows, "Length in record invalid", 1, 0},
      // Express cheque limit.
      {"21 express cheques under XMQ",
       concat({{header(), xmq("21")}, repeat(credit("1"), 21), {trailer()}}),
       pay, nullptr, zip, {}, {kExpress}, LengthHeader, "", 0, 0},
      {"11 and 11 under two XMQ debits count together",
       concat({{header(), xmq("11")}, repeat(credit("1"), 11), {xmq("11")},
               repeat(credit("1"), 11), {trailer()}}),
       pay, nullptr, zip, {}, {kExpress}, LengthHeader, "", 0, 0},
      {"20 under XMQ and 20 under XDQ pass",
       concat({{header(), xmq("20")}, repeat(credit("1"), 20), {debit("20", "20", "XDQ")},
               repeat(credit("1"), 20), {trailer()}}),
       pay, nullptr, zip, {}, {kDone}, Summary, "", 0, 1},
      {"credits before any debit count for neither product",
       concat({{header()}, repeat(credit("0"), 21), {xmq("1"), credit("1"), trailer()}}),
       pay, nullptr, zip, {}, {kDone}, Summary, "", 0, 1},
      // Validation and the invalid-account decision.
      {"validation errors",
       {header(), withMark(debit("1000", "1"), "BAD"), credit("1000"), trailer()},
       pay, nullptr, zip, {}, {kErrorData}, ErrorRows, kInvalid, 1, 1},
      {"only failed home-bank credit accounts",
       {header(), debit("1000", "1"), withMark(credit("1000"), "INV"), trailer()},
       pay, nullptr, zip, {}, {kErrorData}, ErrorRows, "", 0, 1},
      {"failed debit account, Abort", kBadDebitAccount, pay, nullptr, zip, {Answer::Abort},
       {kPrompt, "error:Error Data"}, ErrorRows, kInvalid, 1, 1},
      {"failed debit account, Ignore then Cancel", kBadDebitAccount, pay, nullptr, zip,
       {Answer::Ignore, Answer::Cancel}, {kPrompt, kConfirm, "error:Error Data"},
       ErrorRows, kInvalid, 1, 1},
      {"failed debit account, Ignore then confirmation closed", kBadDebitAccount, pay, nullptr,
       zip, {Answer::Ignore, Answer::Closed}, {kPrompt, kConfirm, "error:Error Data"},
       ErrorRows, kInvalid, 1, 1},
      {"failed debit account, prompt closed", kBadDebitAccount, pay, nullptr, zip,
       {Answer::Closed}, {kPrompt}, ErrorRows, "", 0, 1},
      {"failed debit account, Ignore then Yes", kBadDebitAccount, pay, nullptr, zip,
       {Answer::Ignore, Answer::Yes}, {kPrompt, kConfirm, kDone}, Summary, "", 0, 1},
      {"clean batch to a new file", kClean, pay, "new.txt", zip, {}, {kDone}, Summary, "", 0, 1},
  };
  // clang-format on

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
    if (c.newFile) {
      checkNew(s);
      s.form.edtNewFile.text = c.newFile;
    }
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
