#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
using test::errorRows;
using test::header;
using test::invoice;
using test::joinLines;
using test::trailer;
using test::wht;

const std::string kDebitMismatch =
    "002|2|49-64|Debit Amount|Debit amount does not match with credit detail";
const std::string kCreditCount =
    "002|2|73-78|No.of Credit|No. of Credit does not match with Total Credit Detail";
const std::string kRepeat =
    "WHT Income Type|should not be Repeat 1-6 or 4a,4b,4b1,4b1.1,4b1.2,4b1.3,4b1.4,4b2,4b3";
const std::string kTypeSix = "WHT Income Type|Type 6 should not be more than three ";
const std::string kSixth = "WHT Income Type|Witholding Tax Number should not be more five";

std::string whtTotalRow(int creditLine) {
  return "003|" + std::to_string(creditLine) +
         "|94-109|Total WHT Amount|Total WHT Amount does not match with WHT detail";
}
std::string invoiceCountRow(int creditLine) {
  return "003|" + std::to_string(creditLine) +
         "|110-115|No of Invoice Detail|No. of Invoice does not match with Total Invoice";
}
std::string whtCountRow(int creditLine) {
  return "003|" + std::to_string(creditLine) +
         "|92-94|No of WHT Detail|No. of Withoding Tax does not match with Total Withoding Tax";
}

// The whtTypeCount handed to each withholding-tax line, in order.
std::vector<int> gWhtTypeCounts;
void recordingWhtRule(Session& s, std::string_view line, long n, int whtTypeCount,
                      std::string_view product) {
  gWhtTypeCounts.push_back(whtTypeCount);
  test::stub::whtRule(s, line, n, whtTypeCount, product);
}

struct Fixture {
  ScriptedUi ui;
  Session s{ui, {}, Clock::fixed("20240101")};
  test::TempDir dir;
  std::string path = (dir / "pay.txt").string();

  Fixture() {
    test::stub::install(s);
    s.rules.checkWhtRecord = &recordingWhtRule;
    gWhtTypeCounts.clear();
  }
  std::vector<std::string> run(const std::vector<std::string>& lines) {
    test::writeFile(path, joinLines(lines));
    validateFile(s, path);
    return errorRows(s.form.StringGrid1);
  }
};

struct DriverCase {
  const char* name;
  std::vector<std::string> lines;
  std::vector<std::string> rows;
  std::vector<int> whtTypeCounts;
};

TEST(ValidateFile, CrossRecordChecks) {
  const std::vector<DriverCase> cases = {
      {"a balanced file has no faults",
       {header(), debit("1000", "2"), credit("600"), credit("400"), trailer()},
       {},
       {}},
      {"the last debit is compared at the trailer",
       {header(), debit("1000", "1"), credit("900"), trailer()},
       {kDebitMismatch},
       {}},
      {"a debit is compared when the next one arrives, on its own line",
       {header(), debit("1000", "1"), credit("900"), debit("500", "1"), credit("500"), trailer()},
       {kDebitMismatch},
       {}},
      {"a debit declaring 3 credits and carrying 2",
       {header(), debit("1000", "3"), credit("500"), credit("500"), trailer()},
       {kCreditCount},
       {}},
      {"the credit-count row repeats after every line after the trailer, always on line 2",
       {header(), debit("10", "1"), credit("10"), debit("10", "2"), credit("10"), trailer(), "ABC",
        "XYZ"},
       {kCreditCount, kCreditCount, kCreditCount},
       {}},
      {"Total WHT Amount against the details, at the trailer",
       {header(), debit("1000", "1"), credit("1000", "01", "100", "000000"), wht("1", "50"),
        trailer()},
       {whtTotalRow(3)},
       {1}},
      {"Total WHT Amount is compared at the next credit",
       {header(), debit("2000", "2"), credit("1000", "01", "100"), wht("1", "50"), credit("1000"),
        trailer()},
       {whtTotalRow(3)},
       {1}},
      {"the first credit's invoice count waits for the next credit",
       {header(), debit("2000", "2"), credit("1000", "00", "0", "000001"), credit("1000"),
        trailer()},
       {invoiceCountRow(3)},
       {}},
      {"the last credit's invoice count is compared at the trailer",
       {header(), debit("1000", "1"), credit("1000", "00", "0", "000002"), invoice(), trailer()},
       {invoiceCountRow(3)},
       {}},
      {"declared invoices that are present",
       {header(), debit("1000", "1"), credit("1000", "00", "0", "000002"), invoice(), invoice(),
        trailer()},
       {},
       {}},
      {"WHT detail count at the first invoice only",
       {header(), debit("1000", "1"), credit("1000", "02", "0", "000002"), invoice(), invoice(),
        trailer()},
       {whtCountRow(3)},
       {}},
      {"a WHT line after an invoice makes the next invoice compared again",
       {header(), debit("1000", "1"), credit("1000", "03", "0", "000001"), wht("1"), invoice(),
        wht("2"), invoice(), trailer()},
       {whtCountRow(3), whtCountRow(3)},
       {1, 2}},
      {"WHT details without an invoice get no detail-count check",
       {header(), debit("1000", "1"), credit("1000", "02", "0"), wht("1"), trailer()},
       {},
       {1}},
      {"the sixth WHT line of a credit",
       {header(), debit("1000", "1"), credit("1000", "06", "0", "000001"), wht("1"), wht("2"),
        wht("3"), wht("4a"), wht("4b"), wht("5"), invoice(), trailer()},
       {"005|9|36-40|" + kSixth},
       {1, 2, 3, 4, 5, 6}},
      {"a repeated type is reported on its second line only",
       {header(), debit("1000", "1"), credit("1000", "03", "0", "000001"), wht("1"), wht("1"),
        wht("1"), invoice(), trailer()},
       {"005|5|36-40|" + kRepeat},
       {1, 1, 1}},
      {"type 6 may appear three times; the fourth and fifth are reported and counted",
       {header(), debit("1000", "1"), credit("1000", "05", "0", "000001"), wht("6"), wht("6"),
        wht("6"), wht("6"), wht("6"), invoice(), trailer()},
       {"005|7|36-40|" + kTypeSix, "005|8|36-40|" + kTypeSix},
       {1, 1, 1, 2, 3}},
      {"4b1 and 4A are not income types",
       {header(), debit("1000", "1"), credit("1000", "02", "0", "000001"), wht("4b1"), wht("4A"),
        wht("4b1"), invoice(), trailer()},
       {whtCountRow(3)},
       {0, 0, 0}},
      {"income types are trimmed and counted per credit",
       {header(), debit("2000", "2"), credit("1000", "01", "0", "000001"), wht(" 4b2"), invoice(),
        credit("1000", "01", "0", "000001"), wht("4b2 "), invoice(), trailer()},
       {},
       {1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    EXPECT_EQ(f.run(c.lines), c.rows);
    EXPECT_EQ(f.s.state.batchValid, c.rows.empty());
    EXPECT_EQ(gWhtTypeCounts, c.whtTypeCounts);
    if (!c.rows.empty()) {
      EXPECT_EQ(f.s.form.Label4.caption, "Invalid data fields");
      EXPECT_TRUE(f.s.form.btnSaveError.enabled);
    }
  }
}

TEST(ValidateFile, StartsEachRunFromZero) {
  Fixture f;
  // A file that ends without a trailer leaves a debit and a WHT total unbalanced.
  f.run({header(), debit("1000", "1"), credit("900", "01", "50"), wht("1", "10")});
  EXPECT_EQ(f.s.state.debitCount, 1);
  const auto rows = f.run({header(), debit("10", "1"), credit("10"), trailer()});
  EXPECT_EQ(rows, std::vector<std::string>{});
  EXPECT_TRUE(f.s.state.batchValid);
  EXPECT_EQ(f.s.state.debitCount, 1);
  EXPECT_EQ(f.s.state.creditCount, 1);
  EXPECT_EQ(f.s.state.debitAmountTotal, 10.0);
  EXPECT_EQ(f.s.form.StringGrid1.colCount(), 8);
  EXPECT_EQ(f.s.form.StringGrid1.cell(7, 0), "Payee Name");
}

TEST(ValidateFile, KeepsCompanyAndProduct) {
  Fixture f;
  f.run({header("  ACME 01 "), debit("10", "1", "XMQ"), credit("10"), trailer()});
  EXPECT_EQ(f.s.state.companyId, "ACME 01");
  EXPECT_EQ(f.s.state.currentProduct, "XMQ");
  f.run({header(), test::LineBuilder("007", 300).set(4, 6, "DDR"), trailer()});
  EXPECT_EQ(f.s.state.currentProduct, "DDR");
}

// Every rule sees its line, its line number and the product of the latest debit.
std::vector<std::string> gCalls;
void note(const char* rule, long n, std::string_view product) {
  gCalls.push_back(std::string(rule) + "@" + std::to_string(n) + ":" + std::string(product));
}

TEST(ValidateFile, DispatchesEachLineToTheRuleOfItsType) {
  Fixture f;
  gCalls.clear();
  RecordRules& r = f.s.rules;
  r.checkHeaderRecord = [](Session&, std::string_view, long n) { note("header", n, ""); };
  r.checkDebitRecord = [](Session& s, std::string_view l, long n, std::string_view p) {
    note("debit", n, p);
    test::stub::debitRule(s, l, n, p);
  };
  r.checkCreditRecord = [](Session& s, std::string_view l, long n, std::string_view p) {
    note("credit", n, p);
    test::stub::creditRule(s, l, n, p);
  };
  r.checkPayeeRecord = [](Session&, std::string_view, long n, std::string_view p) {
    note("payee", n, p);
  };
  r.checkWhtRecord = [](Session&, std::string_view, long n, int, std::string_view p) {
    note("wht", n, p);
  };
  r.checkInvoiceRecord = [](Session&, std::string_view, long n, std::string_view p) {
    note("invoice", n, p);
  };
  r.checkDirectDebitRecord = [](Session&, std::string_view, long n) { note("dd", n, ""); };
  r.checkDirectDebitItemRecord = [](Session&, std::string_view, long n) { note("dditem", n, ""); };
  r.checkTrailerRecord = [](Session& s, std::string_view, long n) {
    note("trailer", n, s.state.currentProduct);
  };
  f.run({header(), debit("10", "1", "BNT"), credit("10", "01", "0", "000001"), test::payee(),
         wht("1"), invoice(), "XYZ", test::LineBuilder("007", 300).set(4, 6, "DDR"),
         test::LineBuilder("008", 200), trailer()});
  const std::vector<std::string> expected = {
      "header@1:",     "debit@2:BNT", "credit@3:BNT", "payee@4:BNT",    "wht@5:BNT",
      "invoice@6:BNT", "dd@8:",       "dditem@9:",    "trailer@10:DDR",
  };
  EXPECT_EQ(gCalls, expected);
}

TEST(ValidateFile, UnguardedCountConversionsStopTheRun) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
    std::string message;
    std::vector<std::string> rowsSoFar;
  } cases[] = {
      {"a letter in the debit's No. of Credits",
       {header(), debit("10", "1"), credit("5"), debit("10", "00000A")},
       "'00000A' is not a valid integer value",
       {kDebitMismatch}},
      {"no credit since start-up had a numeric WHT count",
       {header(), debit("10", "1"), credit("10", "  ", "0", "000000")},
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
    EXPECT_EQ(errorRows(f.s.form.StringGrid1), c.rowsSoFar);
  }
}

TEST(ValidateFile, CountTextsSurviveFromAnEarlierCredit) {
  Fixture f;
  // The second credit's blank WHT count keeps the "01" of the first.
  const auto rows = f.run({header(), debit("20", "2"), credit("10", "01", "0", "000000"), wht("1"),
                           credit("10", "  ", "0", "000000"), invoice(), trailer()});
  EXPECT_EQ(rows, (std::vector<std::string>{whtCountRow(5), invoiceCountRow(5)}));
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
  Session s(ui, {}, Clock::fixed("20240101"));
  test::stub::install(s);
  test::TempDir dir;
  std::vector<std::string> lines = {header(), debit("10000", "10000")};
  lines.insert(lines.end(), 10000, credit("1"));
  lines.push_back(trailer());
  const std::string bytes = joinLines(lines);
  test::writeFile(dir / "pay.txt", bytes);
  validateFile(s, (dir / "pay.txt").string());
  EXPECT_TRUE(s.state.batchValid);
  ASSERT_GE(ui.done.size(), 3u);
  EXPECT_TRUE(std::is_sorted(ui.done.begin(), ui.done.end()));
  EXPECT_EQ(ui.done.back(), bytes.size());
  EXPECT_EQ(ui.total, bytes.size());
}

TEST(ValidateFile, MissingFileIsAFailure) {
  Fixture f;
  EXPECT_THROW(validateFile(f.s, (f.dir / "none.txt").string()), Failure);
}

}  // namespace
}  // namespace bs
