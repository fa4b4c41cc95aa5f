#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "core/error_list.h"
#include "core/scripted_ui.h"
#include "output/archive.h"
#include "output/seal_verify.h"
#include "reports/report_tables.h"
#include "support/payment_file.h"
#include "support/record_lines.h"

namespace bs {
namespace {

using test::withField;

// A balanced file: for each product a debit from `debitAccount` carrying `credits` credits to
// `creditAccount`, every notification flag left blank for the run to fill.
std::vector<std::string> batch(std::vector<std::string_view> products, int credits,
                               std::string_view debitAccount = test::kHomeAccount,
                               std::string_view creditAccount = test::kHomeAccount) {
  test::PaymentFile file;
  for (std::string_view product : products) {
    file.debit(product, test::kFarValueDate, debitAccount);
    test::CreditLine credit(product);
    credit.set(test::credit::notification, " ").set(test::credit::account, creditAccount);
    for (int i = 0; i < credits; ++i) file.credit(credit, {});
  }
  return file.lines();
}

// `lines` with line `index` (0-based) changed by `change`.
template <class Change>
std::vector<std::string> changed(std::vector<std::string> lines, std::size_t index, Change change) {
  lines[index] = change(lines[index]);
  return lines;
}

// A home-bank account whose check digit is wrong.
constexpr std::string_view kBadAccount = "1234567890";

const std::vector<std::string> kClean = batch({"MCL"}, 1);
const std::vector<std::string> kBadDebitAccount = batch({"MCL"}, 1, kBadAccount);

enum class GridShows { Emptied, TypeRows, LengthRows, LengthHeader, ErrorRows, Summary };
using enum GridShows;

struct RunCase {
  const char* name;
  std::vector<std::string> lines;
  std::string input;    // below the test folder; "" leaves the box empty
  const char* newFile;  // below the test folder; nullptr: Replace mode
  std::string zip;      // below the test folder; "" leaves the box empty
  std::vector<Answer> answers;
  // Expected.
  std::vector<std::string> messages;  // "kind:text"; "done" is the completion message
  GridShows grid;
  std::string label4;
  bool saveEnabled;
  bool filled;  // the blank notification flags of the payment file were filled
};

const std::string kNoInput = "information:Input File does not exist";
const std::string kBadZip = "information:Invalid zip file name";
const std::string kErrorData = "information:Error Data !";
const std::string kPrompt =
    "warning:There are some invalid ZNB Account.  Please choose action to do. ";
const std::string kConfirm = "confirm:Please Confirm to Ignore invalid ZNB Account. ";
const std::string kExpress =
    "error:Error Data.  Express Cheque should not more than  20 transaction ";
const std::string kInvalid = "Invalid data fields";
const std::string kCompany = "Company ID : COMPANY00001";
// The one failure among the cases, shown in an error box.
const std::string kConversion = "error:'0000X1' is not a valid integer value";

TEST(BatchRun, OutcomesOfARun) {
  const std::string pay = "pay.txt";
  const std::string zip = "out.zip";
  std::vector<std::string> earlyCredits = batch({"XMQ"}, 1);
  const std::string xmqCredit = earlyCredits[2];
  earlyCredits.insert(earlyCredits.begin() + 1, 21, xmqCredit);
  earlyCredits.back() = test::trailerLine(1, 22, 1000000);
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
      {"archive name without extension", kClean, pay, nullptr, "out", {}, {"done"},
       Summary, kCompany, 0, 1},
      {"archive extension in mixed case", kClean, pay, nullptr, "out.ZiP", {}, {"done"},
       Summary, kCompany, 0, 1},
      {"a dot in a folder name is no extension", kClean, pay, nullptr, "v1.2\\out", {},
       {"done"}, Summary, kCompany, 0, 1},
      // Structure pre-checks.
      {"unknown record type", {kClean[0], "XYZ", kClean[3]}, pay, nullptr, zip, {},
       {kErrorData}, TypeRows, "Record type invalid code", 1, 0},
      {"record of the wrong length", changed(kClean, 1, [](auto l) { return l + " "; }), pay,
       nullptr, zip, {}, {kErrorData}, LengthRows, "Length in record invalid", 1, 0},
      // Express cheque limit.
      {"21 express cheques under XMQ", batch({"XMQ"}, 21), pay, nullptr, zip, {},
       {kExpress}, LengthHeader, "", 0, 0},
      {"11 and 11 under two XMQ debits count together", batch({"XMQ", "XMQ"}, 11), pay,
       nullptr, zip, {}, {kExpress}, LengthHeader, "", 0, 0},
      {"20 under XMQ and 20 under XDQ pass", batch({"XMQ", "XDQ"}, 20), pay, nullptr, zip, {},
       {"done"}, Summary, kCompany, 0, 1},
      {"credits before any debit count for neither product", earlyCredits, pay, nullptr, zip,
       {}, {kErrorData}, ErrorRows, kInvalid, 1, 1},
      // Validation, conversions and the invalid-account decision.
      {"validation errors", changed(kClean, 1, [](auto l) { return withField(l, 46, 48, "USD"); }),
       pay, nullptr, zip, {}, {kErrorData}, ErrorRows, kInvalid, 1, 1},
      {"a conversion failure stops before any output",
       changed(kClean, 1, [](auto l) { return withField(l, 73, 78, "0000X1"); }), pay, nullptr,
       zip, {}, {kConversion}, ErrorRows, kInvalid, 1, 1},
      {"only failed home-bank credit accounts",
       batch({"DCP"}, 1, test::kHomeAccount, kBadAccount), pay, nullptr, zip, {}, {kErrorData},
       ErrorRows, "", 0, 1},
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
       {Answer::Ignore, Answer::Yes}, {kPrompt, kConfirm, "done"}, Summary, kCompany, 0, 1},
      {"clean batch to a new file", kClean, pay, "new.txt", zip, {}, {"done"}, Summary,
       kCompany, 0, 1},
  };
  // clang-format on

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    ScriptedUi ui;
    Session s(ui, ProgramPaths{test::makeProgramFolder(dir)},
              Clock::fixed(std::string(test::kToday)));
    setUpSession(s);
    FormCreate(s);
    test::writeFile(dir / "pay.txt", test::joinLines(c.lines));

    // What an earlier run left behind, which this run must reset.
    s.state.reportReady = true;
    s.state.invalidAccountCount = 3;
    s.form.edtHashvalue.text = "OLD";
    s.form.Label4.caption = "old";
    s.form.Label5.caption = "old";
    s.form.btnSaveError.enabled = true;
    setUpErrorList(s.form);
    addError(s.form, "002", "1", "1-3", "F", "old");
    storeReportTables(s.store)->execSql(
        "Insert into ReportTableDetail(No,Product) Values(1,'EARLIER')");

    const auto below = [&](const std::string& name) {
      return name.empty() ? name : dir.path().string() + "/" + name;
    };
    s.form.edtFileInput.text = below(c.input);
    if (c.newFile) {
      checkNew(s);
      s.form.edtNewFile.text = below(c.newFile);
    }
    s.form.edtZip.text = below(c.zip);
    ui.answers.assign(c.answers.begin(), c.answers.end());

    const Outcome outcome = runCommand(s, &ToolButton3Click);

    std::vector<std::string> messages;
    for (const auto& m : ui.shown) messages.push_back(m.kind + ":" + m.text);
    std::vector<std::string> expected = c.messages;
    for (auto& m : expected)
      if (m == "done")
        m = "information:Generate hash value and add file to " + s.form.edtZip.text + " completed";
    EXPECT_EQ(messages, expected);

    const Grid& g = s.form.StringGrid1;
    switch (c.grid) {
      case GridShows::Emptied:
        EXPECT_EQ(g.rowCount(), 2);
        EXPECT_EQ(g.colCount(), 2);
        EXPECT_EQ(g.cell(5, 1), "");
        EXPECT_EQ(s.state.invalidAccountCount, 0);
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
        EXPECT_EQ(g.cell(0, 0), "No.");
        break;
    }
    const bool success = c.grid == GridShows::Summary;
    EXPECT_EQ(outcome.isCompleted(), success);
    EXPECT_EQ(!outcome, c.messages == std::vector<std::string>{kConversion});
    EXPECT_EQ(s.form.Label4.caption, c.label4);
    EXPECT_EQ(s.form.Label5.caption, success ? "PAYMENT DETAIL" : "");
    EXPECT_EQ(s.form.btnSaveError.enabled, c.saveEnabled);
    EXPECT_EQ(s.state.reportReady, success);
    // The last batch's rows stay until a run reaches its summary.
    const auto detail = storeReportTables(s.store)->readAll(kReportTableDetailFile).rows;
    EXPECT_EQ(detail.size() == 1 && detail[0][1] == "EARLIER", !success);
    EXPECT_EQ(std::filesystem::exists(archiveName(s.form.edtZip.text)), success);

    // The payment file's credits carry "N" in their notification column once it was filled; a
    // sealed output begins with the hash shown in the box.
    const std::string output = c.newFile ? s.form.edtNewFile.text : (dir / "pay.txt").string();
    if (success) {
      EXPECT_TRUE(verifySeal(output).holds);
      EXPECT_EQ(test::readFile(output).substr(0, 40), s.form.edtHashvalue.text);
    } else {
      EXPECT_EQ(s.form.edtHashvalue.text, "");
    }
    const std::string bytes = test::readFile(dir / "pay.txt");
    for (std::size_t at = 0; (at = bytes.find("\r\n003", at)) != std::string::npos; at += 2)
      EXPECT_EQ(bytes.at(at + 2 + 258), c.filled ? 'N' : ' ');
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
    Session s(ui, {}, Clock::fixed(std::string(test::kToday)));
    s.state.batchValid = true;
    ui.answers.assign(c.answers.begin(), c.answers.end());
    EXPECT_EQ(resolveInvalidAccounts(s), c.goOn);
    EXPECT_EQ(s.state.invalidAccountAction, c.answers.front());
    EXPECT_EQ(s.state.batchValid, c.batchValid);
  }
}

}  // namespace
}  // namespace bs
