// Faults that only a whole file shows, through `batchseal-cli check`: the rules of each credit
// product group, the sums and counts that span records, and the conversions that end the run.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "acceptance_support.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/payment_file.h"
#include "support/record_lines.h"

namespace bs::test {
namespace {

using Edits = std::vector<std::pair<CreditField, std::string>>;

TEST(AcceptanceDriver, EachCreditProductGroupListsItsOwnRows) {
  const std::string acc(kHomeAccount);
  struct Case {
    const char* product;
    Edits edits;
    std::vector<GridRow> rows;
  } cases[] = {
      {"DDP",
       {{credit::chequeDocumentType, "T"}},
       {{"003", "3", "280-280", "Cheque Reference Document Type",
         "If product code is DDP this field should be 1-9 and A-R", "", ""}}},
      {"CCP",
       {{credit::chequeReference, ""}},
       {{"003", "3", "260-279", "Cheque Reference Number",
         "If product code is CCP this field should not be space", "", ""}}},
      {"XDQ",
       {{credit::bankCode, "002"}},
       {{"003", "3", "181-183", "Receiving Bank Code",
         "If product code is MCP,DDP,CCP,XMQ,XDQ this field should be 014", acc, ""}}},
      {"XMQ",
       {{credit::branchCode, "00A1"}},
       {{"003", "3", "219-222", "Receiving Branch Code",
         "If product code is XMQ this field should be number", acc, ""}}},
      {"PAY",
       {{credit::bankCode, "002"}},
       {{"003", "3", "181-183", "Receiving Bank Code",
         "If product code is DCP,PAY,PA2,PA3 this field should be 014", acc, ""},
        {"003", "3", "181-183", "Receiving Bank code", "This field should  be 014", acc, ""}}},
      {"PA3",
       {{credit::account, "1234567890"}},
       {{"003", "3", "10-34", "Credit Account No", "Invalid ZNB Account", "1234567890", ""}}},
      {"MCL",
       {{credit::bankName, ""}},
       {{"003", "3", "184-218", "Receiving Bank Name",
         "If product code is MCL,PA4,PA5,PA6 this field should not be space", acc, ""}}},
      {"MCL",
       {{credit::amount, amount16(2'000'000'010)}},
       {{"003", "3", "35-50", "Credit Amount", "Amount have not over 2,000,000 ", acc, ""}}},
      {"MCL", {{credit::amount, amount16(2'000'000'000)}}, {}},
      {"PA5",
       {{credit::bankCode, "014"}},
       {{"003", "3", "181-183", "Receiving Bank code", "This field should not be 014", acc, ""}}},
      {"PA4", {{credit::amount, amount16(2'000'000'010)}}, {}},
      {"BNT",
       {{credit::servicesType, "24"}},
       {{"003", "3", "284-285", "ServicesType", "If product code is BNT this field should be 00-23",
         acc, ""}}},
      {"BNT",
       {{credit::paymentTypeCode, "csh"}},
       {{"003", "3", "281-283", "Payment Type Code",
         "If product code is BNT this field should be in code", acc, ""}}},
  };
  CliWorkspace ws;
  for (const Case& c : cases) {
    CreditLine line(c.product);
    for (const auto& [field, text] : c.edits) line.set(field, text);
    PaymentFile f;
    f.debit(c.product).credit(line, {payeeLine()});
    CliResult r = ws.check(ws.write("pay.txt", f.bytes()));
    EXPECT_EQ(r.code, c.rows.empty() ? 0 : 1) << c.product;
    EXPECT_EQ(r.rows(), c.rows) << c.product;
  }
}

// The lines of a PAY file: 1 header, 2 debit, 3 credit, then the details given, then the
// trailer; the debit and trailer balance the credit.
std::vector<std::string> payFile(const CreditLine& credit, std::vector<std::string> details) {
  PaymentFile f;
  f.debit("PAY").credit(credit, std::move(details));
  return f.lines();
}

TEST(AcceptanceDriver, SumsAndCountsAcrossRecordsAreCompared) {
  const CreditLine plain("PAY");
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<GridRow> rows;
  } cases[] = {
      {"debit amount against its credits",
       [&] {
         auto l = payFile(plain, {payeeLine()});
         l[1] = withField(l[1], 49, 64, amount16(2'000'000LL));
         l.back() = trailerLine(1, 1, 2'000'000);
         return l;
       }(),
       {{"002", "2", "49-64", "Debit Amount", "Debit amount does not match with credit detail", "",
         ""}}},
      {"declared credits against the credits seen",
       [&] {
         auto l = payFile(plain, {payeeLine()});
         l[1] = withField(l[1], 73, 78, "000002");
         return l;
       }(),
       {{"002", "2", "73-78", "No.of Credit",
         "No. of Credit does not match with Total Credit Detail", "", ""}}},
      {"WHT total against its details",
       payFile(CreditLine("PAY").withWht(1, 40'000), {payeeLine(), whtLine()}),
       {{"003", "3", "94-109", "Total WHT Amount",
         "Total WHT Amount does not match with WHT detail", "", ""}}},
      {"WHT count against the WHT lines, at the first invoice",
       payFile(CreditLine("PAY").withWht(2, 30'000).withInvoices(1, 1'070'000),
               {payeeLine(), whtLine(), invoiceLine()}),
       {{"003", "3", "92-94", "No of WHT Detail",
         "No. of Withoding Tax does not match with Total Withoding Tax", "", ""}}},
      {"invoice count against the invoice lines",
       payFile(CreditLine("PAY").withInvoices(2, 2'140'000), {payeeLine(), invoiceLine()}),
       {{"003", "3", "110-115", "No of Invoice Detail",
         "No. of Invoice does not match with Total Invoice", "", ""}}},
  };
  CliWorkspace ws;
  for (const Case& c : cases) {
    CliResult r = ws.check(ws.write("pay.txt", joinLines(c.lines)));
    EXPECT_EQ(r.code, 1) << c.name;
    EXPECT_EQ(r.rows(), c.rows) << c.name;
  }
}

TEST(AcceptanceDriver, UnguardedConversionsEndTheRunWithTheirMessage) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string message;
  } cases[] = {
      {"No. of Credits of the debit",
       [] {
         auto l = payFile(CreditLine("PAY"), {payeeLine()});
         l[1] = withField(l[1], 73, 78, "00001.");
         return l;
       }(),
       "'00001.' is not a valid integer value"},
      {"a NUL byte inside the field: the message is not cut at it",
       [] {
         auto l = payFile(CreditLine("PAY"), {payeeLine()});
         l[1] = withField(l[1], 73, 78, std::string("00\0X01", 6));
         return l;
       }(),
       std::string("'00\0X01' is not a valid integer value", 37)},
      {"ServicesType of a BahtNet credit",
       [] {
         PaymentFile f;
         f.debit("BNT").credit(CreditLine("BNT").set(credit::servicesType, "1."), {payeeLine()});
         return f.lines();
       }(),
       "'1.' is not a valid integer value"},
  };
  CliWorkspace ws;
  for (const Case& c : cases) {
    CliResult r = ws.check(ws.write("pay.txt", joinLines(c.lines)));
    EXPECT_EQ(r.code, 3) << c.name;
    EXPECT_EQ(r.outcome(), "failed") << c.name;
    EXPECT_EQ(r.messages(), (std::vector<Message>{{"error", c.message, "OK"}})) << c.name;
  }
}

}  // namespace
}  // namespace bs::test
