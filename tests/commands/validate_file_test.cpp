#include "commands/validate_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "commands/batch_gates.h"
#include "core/failure.h"
#include "core/scripted_ui.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"

namespace bs {
namespace {

using test::CreditLine;
using test::debitLine;
using test::invoiceLine;
using test::joinLines;
using test::trailerLine;

const std::string H = test::headerLine();

// A credit of `amount` thousandths to another bank under media clearing, every field valid.
CreditLine creditOf(long long amount) {
  return CreditLine("MCL").set(test::credit::amount, test::amount16(amount));
}
// A credit declaring `whtCount` withholding-tax details (total 0) and, when given, invoices.
std::string taxed(long long amount, int whtCount, int invoices = 0) {
  CreditLine line = creditOf(amount).withWht(whtCount, 0);
  if (invoices > 0) line.withInvoices(invoices, 1070000);
  return line;
}
std::string wht(std::string_view incomeType, long long tax = 0) {
  return test::whtLine(incomeType, tax);
}

const std::string kDebitMismatch =
    "002|2|49-64|Debit Amount|Debit amount does not match with credit detail";
const std::string kCreditCount =
    "002|2|73-78|No.of Credit|No. of Credit does not match with Total Credit Detail";

// The cross-record rows: a WHT line's income type, and a credit's declared figures.
std::string whtRow(int line, std::string_view message) {
  return "005|" + std::to_string(line) + "|36-40|WHT Income Type|" + std::string(message);
}
std::string creditRow(int line, std::string_view columnsFieldMessage) {
  return "003|" + std::to_string(line) + "|" + std::string(columnsFieldMessage);
}
constexpr std::string_view kRepeat =
    "should not be Repeat 1-6 or 4a,4b,4b1,4b1.1,4b1.2,4b1.3,4b1.4,4b2,4b3";
constexpr std::string_view kTypeSix = "Type 6 should not be more than three ";
constexpr std::string_view kSixth = "Witholding Tax Number should not be more five";
constexpr std::string_view kFifthType = "should not more three";  // the record rule's row
constexpr std::string_view kNotAType = "Should be 1-6 or 4a,4b,4b1.1,4b1.2,4b1.3,4b1.4,4b2,4b3";
constexpr std::string_view kWhtTotal =
    "94-109|Total WHT Amount|Total WHT Amount does not match with WHT detail";
constexpr std::string_view kInvoiceCount =
    "110-115|No of Invoice Detail|No. of Invoice does not match with Total Invoice";
constexpr std::string_view kWhtCount =
    "92-94|No of WHT Detail|No. of Withoding Tax does not match with Total Withoding Tax";

// The error rows of the grid as "type|line|columns|field|message".
std::vector<std::string> rowTexts(const Grid& grid) {
  std::vector<std::string> out;
  for (const auto& r : test::errorRows(grid))
    out.push_back(r.recordType + "|" + r.line + "|" + r.column + "|" + r.fieldName + "|" +
                  r.message);
  return out;
}

struct Fixture {
  ScriptedUi ui;
  Session s{ui, {}, Clock::fixed(std::string(test::kToday))};
  test::TempDir dir;
  std::string path = (dir / "pay.txt").string();

  std::vector<std::string> run(const std::vector<std::string>& lines) {
    test::writeFile(path, joinLines(lines));
    validateFile(s, path);
    return rowTexts(s.form.StringGrid1);
  }
};

TEST(ValidateFile, CrossRecordChecks) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> rows;
  } cases[] = {
      {"a balanced file has no faults",
       {H, debitLine("MCL", 1000, 2), creditOf(600), creditOf(400), trailerLine(1, 2, 1000)},
       {}},
      {"the last debit is compared at the trailer",
       {H, debitLine("MCL", 1000, 1), creditOf(900), trailerLine(1, 1, 1000)},
       {kDebitMismatch}},
      {"a debit is compared when the next one arrives, on its own line",
       {H, debitLine("MCL", 1000, 1), creditOf(900), debitLine("MCL", 500, 1), creditOf(500),
        trailerLine(2, 2, 1500)},
       {kDebitMismatch}},
      {"a debit declaring 3 credits and carrying 2",
       {H, debitLine("MCL", 1000, 3), creditOf(500), creditOf(500), trailerLine(1, 2, 1000)},
       {kCreditCount}},
      {"the credit-count row repeats after every line after the trailer, always on line 2",
       {H, debitLine("MCL", 10, 1), creditOf(10), debitLine("MCL", 10, 2), creditOf(10),
        trailerLine(2, 2, 20), "ABC", "XYZ"},
       {kCreditCount, kCreditCount, kCreditCount}},
      {"Total WHT Amount against the details, at the trailer",
       {H, debitLine("MCL", 1000, 1), creditOf(1000).withWht(1, 100), wht("1", 50),
        trailerLine(1, 1, 1000)},
       {creditRow(3, kWhtTotal)}},
      {"Total WHT Amount is compared at the next credit",
       {H, debitLine("MCL", 2000, 2), creditOf(1000).withWht(1, 100), wht("1", 50), creditOf(1000),
        trailerLine(1, 2, 2000)},
       {creditRow(3, kWhtTotal)}},
      {"the first credit's invoice count waits for the next credit",
       {H, debitLine("MCL", 2000, 2), creditOf(1000).withInvoices(1, 1070000), creditOf(1000),
        trailerLine(1, 2, 2000)},
       {creditRow(3, kInvoiceCount)}},
      {"the last credit's invoice count is compared at the trailer",
       {H, debitLine("MCL", 1000, 1), creditOf(1000).withInvoices(2, 1070000), invoiceLine(),
        trailerLine(1, 1, 1000)},
       {creditRow(3, kInvoiceCount)}},
      {"declared invoices that are present",
       {H, debitLine("MCL", 1000, 1), creditOf(1000).withInvoices(2, 1070000), invoiceLine(),
        invoiceLine(), trailerLine(1, 1, 1000)},
       {}},
      {"WHT detail count at the first invoice only",
       {H, debitLine("MCL", 1000, 1), taxed(1000, 2, 2), invoiceLine(), invoiceLine(),
        trailerLine(1, 1, 1000)},
       {creditRow(3, kWhtCount)}},
      {"a WHT line after an invoice makes the next invoice compared again",
       {H, debitLine("MCL", 1000, 1), taxed(1000, 3, 1), wht("1"), invoiceLine(), wht("2"),
        invoiceLine(), trailerLine(1, 1, 1000)},
       {creditRow(3, kWhtCount), creditRow(3, kWhtCount)}},
      {"WHT details without an invoice get no detail-count check",
       {H, debitLine("MCL", 1000, 1), taxed(1000, 2), wht("1"), trailerLine(1, 1, 1000)},
       {}},
      // The record rule refuses a fifth income type of one credit; the driver counts them.
      {"the fifth and sixth income types, and the sixth WHT line",
       {H, debitLine("MCL", 1000, 1), taxed(1000, 6, 1), wht("1"), wht("2"), wht("3"), wht("4a"),
        wht("4b"), wht("5"), invoiceLine(), trailerLine(1, 1, 1000)},
       {whtRow(8, kFifthType), whtRow(9, kSixth), whtRow(9, kFifthType)}},
      {"a repeated type is reported on its second line only and counted once",
       {H, debitLine("MCL", 1000, 1), taxed(1000, 6, 1), wht("1"), wht("1"), wht("1"), wht("2"),
        wht("3"), wht("4a"), invoiceLine(), trailerLine(1, 1, 1000)},
       {whtRow(5, kRepeat), whtRow(9, kSixth)}},
      {"type 6 may appear three times; the fourth and fifth are reported and counted",
       {H, debitLine("MCL", 1000, 1), taxed(1000, 7, 1), wht("6"), wht("6"), wht("6"), wht("6"),
        wht("6"), wht("1"), wht("2"), invoiceLine(), trailerLine(1, 1, 1000)},
       {whtRow(7, kTypeSix), whtRow(8, kTypeSix), whtRow(9, kSixth), whtRow(10, kSixth),
        whtRow(10, kFifthType)}},
      {"4b1 and 4A are never counted nor repeated",
       {H, debitLine("MCL", 1000, 1), taxed(1000, 4), wht("4b1"), wht("4A"), wht("4b1"), wht("4A"),
        trailerLine(1, 1, 1000)},
       {whtRow(4, kNotAType), whtRow(6, kNotAType)}},
      {"income types are trimmed and counted per credit",
       {H, debitLine("MCL", 2000, 2), taxed(1000, 1), wht(" 4b2"), taxed(1000, 2), wht("4b2 "),
        wht(" 4b2 "), trailerLine(1, 2, 2000)},
       {whtRow(7, kRepeat)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    EXPECT_EQ(f.run(c.lines), c.rows);
    EXPECT_EQ(f.s.state.batchValid, c.rows.empty());
    EXPECT_EQ(f.s.form.Label4.caption, c.rows.empty() ? "" : "Invalid data fields");
    EXPECT_EQ(f.s.form.btnSaveError.enabled, !c.rows.empty());
  }
}

TEST(ValidateFile, StartsEachRunFromZero) {
  Fixture f;
  // A file that ends without a trailer leaves a debit and a WHT total unbalanced.
  f.run({H, debitLine("MCL", 1000, 1), creditOf(900).withWht(1, 50), wht("1", 10)});
  EXPECT_EQ(f.s.state.debitCount, 1);
  EXPECT_EQ(f.run({H, debitLine("MCL", 10, 1), creditOf(10), trailerLine(1, 1, 10)}),
            std::vector<std::string>{});
  EXPECT_TRUE(f.s.state.batchValid);
  EXPECT_EQ(f.s.state.debitCount, 1);
  EXPECT_EQ(f.s.state.creditCount, 1);
  EXPECT_EQ(f.s.state.debitAmountTotal, 10.0);
  EXPECT_EQ(f.s.form.StringGrid1.colCount(), 8);
  EXPECT_EQ(f.s.form.StringGrid1.cell(7, 0), "Payee Name");
}

TEST(ValidateFile, KeepsCompanyAndProduct) {
  Fixture f;
  f.run({test::headerLine("  ACME 01 "), debitLine("XMQ", 1000000, 1), CreditLine("XMQ"),
         trailerLine(1, 1, 1000000)});
  EXPECT_EQ(f.s.state.companyId, "ACME 01");
  EXPECT_EQ(f.s.state.currentProduct, "XMQ");
  f.run({H, test::directDebitLine(), test::directDebitItemLine(), trailerLine(1, 1, 1000)});
  EXPECT_EQ(f.s.state.currentProduct, "DDR");
}

TEST(ValidateFile, UnguardedCountConversionsStopTheRun) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
    std::string message;
    std::vector<std::string> rowsSoFar;
  } cases[] = {
      {"a letter in the debit's No. of Credits",
       {H, debitLine("MCL", 20, 1), creditOf(10),
        test::withField(debitLine("MCL", 10, 1), 73, 78, "00000A")},
       "'00000A' is not a valid integer value",
       {kDebitMismatch, "002|4|73-78|No. of Credits|This field should be number 6 digits"}},
      {"no credit since start-up had a numeric WHT count",
       {H, debitLine("MCL", 10, 1), creditOf(10).set(test::credit::whtCount, "  ")},
       "'' is not a valid integer value",
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    test::writeFile(f.path, joinLines(c.lines));
    try {
      validateFile(f.s, f.path);
      ADD_FAILURE() << "no failure";
    } catch (const Failure& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(rowTexts(f.s.form.StringGrid1), c.rowsSoFar);
  }
}

TEST(ValidateFile, CountTextsSurviveFromAnEarlierCredit) {
  Fixture f;
  // The second credit's blank WHT count keeps the "01" of the first.
  const auto rows =
      f.run({H, debitLine("MCL", 20, 2), taxed(10, 1), wht("1"),
             creditOf(10).set(test::credit::whtCount, "  "), invoiceLine(), trailerLine(1, 2, 20)});
  EXPECT_EQ(rows, (std::vector<std::string>{creditRow(5, kWhtCount), creditRow(5, kInvoiceCount)}));
}

// Long files report their progress, ending at the whole file.
struct ProgressUi : ScriptedUi {
  std::vector<std::uint64_t> done;
  std::uint64_t total = 0;
  void progress(std::string_view stage, std::uint64_t d, std::uint64_t t) override {
    if (stage != "Validating") return;
    done.push_back(d);
    total = t;
  }
};

TEST(ValidateFile, ReportsProgressOnLongFiles) {
  ProgressUi ui;
  Session s(ui, {}, Clock::fixed(std::string(test::kToday)));
  test::TempDir dir;
  std::vector<std::string> lines = {H, debitLine("MCL", 100000, 10000)};
  lines.insert(lines.end(), 10000, creditOf(10));
  lines.push_back(trailerLine(1, 10000, 100000));
  const std::string bytes = joinLines(lines);
  test::writeFile(dir / "pay.txt", bytes);
  validateFile(s, (dir / "pay.txt").string());
  EXPECT_TRUE(s.state.batchValid);
  ASSERT_GE(ui.done.size(), 3u);
  EXPECT_TRUE(std::is_sorted(ui.done.begin(), ui.done.end()));
  EXPECT_EQ(ui.done.back(), bytes.size());
  EXPECT_EQ(ui.total, bytes.size());
}

// The check, the fee report and the batch run read the file once for the structure checks and the
// validation; they must end as the separate reads do (the express cheque limit forces those
// without a seal), whatever line fails which check, and leave the current-credit row alone when
// the structure checks or the express cheque limit stop them.
TEST(ValidateFile, OneReadGatesEndAsTheStructureChecksThenTheValidation) {
  const std::string badCount = test::withField(debitLine("MCL", 10, 1), 73, 78, "00000A");
  const struct {
    const char* name;
    std::vector<std::string> lines;
    bool expressLimited = false;  // only the batch run has the limit
  } cases[] = {
      {"clean", {H, debitLine("MCL", 10, 1), creditOf(10), trailerLine(1, 1, 10)}},
      {"a field fault", {H, debitLine("MCL", 10, 1), creditOf(9), trailerLine(1, 1, 10)}},
      {"a short line after the credits", {H, debitLine("MCL", 10, 1), creditOf(10), "999"}},
      {"an unknown record type first", {"0091234", H, debitLine("MCL", 10, 1), creditOf(10)}},
      {"a failing conversion, then a short line",
       {H, debitLine("MCL", 10, 1), creditOf(10), badCount, "999"}},
      {"a failing conversion alone", {H, debitLine("MCL", 10, 1), creditOf(10), badCount}},
      {"over the express cheque limit, and a field fault",
       [] {
         std::vector<std::string> lines{H, debitLine("XMQ", 210, 21)};
         lines.insert(lines.end(), 21, creditOf(10));
         lines.push_back(creditOf(9));
         return lines;
       }(),
       true},
  };
  const Gates separateCheck{false, false, false, true, false, false, false};
  const Gates separateFee{true, false, true, true, false, false, true};
  const Gates batchRunUnsealed{true, true, true, true, false, true, true};
  struct End {
    std::vector<std::string> grid, messages;
    std::string label4, failure, context;
    bool passed = false, saveEnabled = false, valid = false, types = false, lengths = false;
    bool operator==(const End&) const = default;
  };
  auto run = [](const std::string& path, const Gates& gates) {
    ScriptedUi ui;
    Session s(ui, {}, Clock::fixed(std::string(test::kToday)));
    s.creditContext = std::make_unique<MemoryCreditContext>();
    s.creditContext->reset("from before");
    s.form.edtFileInput.text = path;
    s.form.edtZip.text = path + ".zip";
    s.form.StringGrid1.setCells(1, {"a row", "from before"});
    End e;
    try {
      e.passed = passGates(s, gates);
    } catch (const Failure& f) {
      e.failure = f.message();
    }
    const Grid& g = s.form.StringGrid1;
    for (int r = 0; r < g.rowCount(); ++r)
      for (int c = 0; c < 8; ++c) e.grid.emplace_back(g.cell(c, r));
    for (int c = 0; c < 8; ++c) e.grid.push_back(std::to_string(g.colWidth(c)));
    e.messages = ui.messages();
    e.label4 = s.form.Label4.caption;
    e.saveEnabled = s.form.btnSaveError.enabled;
    e.valid = s.state.batchValid;
    e.types = s.state.recordTypesValid;
    e.lengths = s.state.recordLengthsValid;
    e.context = s.creditContext->read().account;
    return e;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const std::string path = (dir / "pay.txt").string();
    test::writeFile(path, joinLines(c.lines));
    if (!c.expressLimited) {
      EXPECT_TRUE(run(path, kCheckGates) == run(path, separateCheck));
      EXPECT_TRUE(run(path, kFeeReportGates) == run(path, separateFee));
    }
    EXPECT_TRUE(run(path, kBatchRunGates) == run(path, batchRunUnsealed));
  }
}

TEST(ValidateFile, MissingFileIsAFailure) {
  Fixture f;
  EXPECT_THROW(validateFile(f.s, (f.dir / "none.txt").string()), Failure);
}

}  // namespace
}  // namespace bs
