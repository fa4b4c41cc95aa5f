// Whole payment files through `batchseal-cli check`: clean files of every product pass without a
// row, and one fault in one field yields exactly its row with the right identity cells.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acceptance_support.h"
#include "rules/products.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/payment_file.h"
#include "support/record_lines.h"

namespace bs::test {
namespace {

// Two credits of `product`, each with its payee, under one debit.
PaymentFile twoCreditFile(std::string_view product) {
  PaymentFile f;
  f.debit(product);
  CreditLine first(product);
  CreditLine second(product);
  second.set(credit::sequence, "000002").set(credit::amount, amount16(2'345'670));
  PayeeFields p2;
  p2.creditSequence = "000002";
  p2.nameEn = "RUNGRUANG TRADING";
  p2.nameTh = kThaiPayee2Name;
  f.credit(first, {payeeLine()});
  f.credit(second, {payeeLine(p2)});
  return f;
}

std::string directDebitFile() {
  return joinLines({headerLine(), directDebitLine(kFarValueDate), directDebitItemLine(1),
                    directDebitItemLine(2), trailerLine(1, 2, 5'000'000)});
}

TEST(AcceptanceCheck, CleanFileOfEveryProductPassesWithoutARow) {
  CliWorkspace ws;
  for (std::string_view product : validProducts) {
    auto input = ws.write("pay.txt", twoCreditFile(product).bytes());
    CliResult r = ws.check(input);
    EXPECT_EQ(r.code, 0) << product;
    EXPECT_EQ(r.outcome(), "completed") << product;
    EXPECT_EQ(r.rows(), std::vector<GridRow>{}) << product;
    EXPECT_TRUE(r.messages().empty()) << product;
  }
  auto input = ws.write("dd.txt", directDebitFile());
  CliResult r = ws.check(input);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.rows(), std::vector<GridRow>{});
}

TEST(AcceptanceCheck, CheckLeavesThePaymentFileAsItWas) {
  CliWorkspace ws;
  PaymentFile f;
  f.debit("PAY").credit(CreditLine("PAY").set(credit::notification, " "), {payeeLine()});
  auto input = ws.write("pay.txt", f.bytes());
  ws.check(input);
  EXPECT_EQ(readFile(input), f.bytes());
}

TEST(AcceptanceCheck, TheSampleFileIsClean) {
  CliWorkspace ws;
  CliResult r =
      ws.check(std::filesystem::path(BATCHSEAL_SOURCE_DIR) / "examples" / "sample-payment.txt");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.rows(), std::vector<GridRow>{});
}

// The lines of a PAY file with one credit that carries one WHT detail and one invoice:
// 1 header, 2 debit, 3 credit, 4 payee, 5 WHT, 6 invoice, 7 trailer.
std::vector<std::string> fullPayFile() {
  PaymentFile f;
  f.debit("PAY").credit(CreditLine("PAY").withWht(1, 30'000).withInvoices(1, 1'070'000),
                        {payeeLine(), whtLine(), invoiceLine()});
  return f.lines();
}

TEST(AcceptanceCheck, OneFaultInEachRecordTypeYieldsExactlyItsRow) {
  const std::string debitAccount = withField("", 1, 25, kHomeAccount);
  struct Case {
    const char* name;
    bool directDebit;
    std::size_t lineIndex, first, last;
    std::string text;
    GridRow row;
  } cases[] = {
      {"header channel",
       false,
       0,
       62,
       64,
       "XYZ",
       {"001", "1", "62-64", "Channel Id", "This field should  be BCM", "", ""}},
      {"debit currency",
       false,
       1,
       46,
       48,
       "USD",
       {"002", "2", "46-48", "Debit Currency", "Currency should be THB", debitAccount, ""}},
      {"credit currency",
       false,
       2,
       51,
       53,
       "USD",
       {"003", "3", "51-53", "Credit Currency", "Currency should be THB", "1234567896", ""}},
      {"payee reference",
       false,
       3,
       4,
       11,
       "",
       {"004", "4", "4-11", "Internal Reference", "This field should not be space", "1234567896",
        ""}},
      {"wht reference",
       false,
       4,
       4,
       11,
       "",
       {"005", "5", "4-11", "Internal Reference", "This field should not be space", "1234567896",
        ""}},
      {"invoice number",
       false,
       5,
       24,
       38,
       "",
       {"006", "6", "24-38", "Invoice Number", "This field should not be space", "1234567896",
        "SOMCHAI JAIDEE"}},
      {"trailer debits",
       false,
       6,
       4,
       9,
       "00000A",
       {"999", "7", "4-9", "Total No. of Debits",
        "This field should be number 6 digits and more than zero", "", ""}},
      {"direct debit currency",
       true,
       1,
       93,
       95,
       "USD",
       {"007", "2", "93-95", "Credit Currency", "Currency should be THB", "", ""}},
      {"direct debit item currency",
       true,
       2,
       43,
       45,
       "USD",
       {"008", "3", "43-45", "Debit Currency", "This field should THB", "", ""}},
  };
  CliWorkspace ws;
  for (const Case& c : cases) {
    std::vector<std::string> lines =
        c.directDebit ? std::vector<std::string>{headerLine(), directDebitLine(kFarValueDate),
                                                 directDebitItemLine(1), trailerLine(1, 1, 1000)}
                      : fullPayFile();
    lines[c.lineIndex] = withField(lines[c.lineIndex], c.first, c.last, c.text);
    CliResult r = ws.check(ws.write("pay.txt", joinLines(lines)));
    EXPECT_EQ(r.code, 1) << c.name;
    EXPECT_EQ(r.rows(), std::vector<GridRow>{c.row}) << c.name;
  }
}

TEST(AcceptanceCheck, ChequeProductRowsCarryThePayeeNameInPlaceOfTheAccount) {
  // A cheque credit's own rows name nobody; its WHT rows name the payee (the Thai name when there
  // is no English one), decoded to UTF-8; invoice rows name both.
  PaymentFile f;
  PayeeFields p;
  p.nameEn.clear();
  WhtFields w;
  w.internalReference.clear();
  f.debit("MCP").credit(
      CreditLine("MCP").set(credit::currency, "USD").withWht(1, 30'000).withInvoices(1, 1'070'000),
      {payeeLine(p), whtLine(w), invoiceLine(InvoiceFields{.invoiceNumber = ""})});
  CliWorkspace ws;
  CliResult r = ws.check(ws.write("pay.txt", f.bytes()));
  const std::string thai = "\u0E2A\u0E21\u0E0A\u0E32\u0E22 \u0E43\u0E08\u0E14\u0E35";
  EXPECT_EQ(
      r.rows(),
      (std::vector<GridRow>{
          {"003", "3", "51-53", "Credit Currency", "Currency should be THB", "", ""},
          {"005", "5", "4-11", "Internal Reference", "This field should not be space", "", thai},
          {"006", "6", "24-38", "Invoice Number", "This field should not be space", "1234567896",
           thai},
      }));
}

}  // namespace
}  // namespace bs::test
