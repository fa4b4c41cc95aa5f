// `batchseal-cli seal` over whole payment files: the gates that stop a run, what each leaves in
// the payment file, and the error-list export after a stopped run.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "acceptance_support.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/payment_file.h"
#include "support/record_lines.h"

namespace bs::test {
namespace {

const Message kExpressChequeLimit{
    "error", "Error Data.  Express Cheque should not more than  20 transaction ", "OK"};

// Debits of the given products, each with the given number of valid credits.
std::string expressChequeFile(const std::vector<std::pair<const char*, int>>& debits) {
  PaymentFile f;
  int sequence = 0;
  for (const auto& [product, credits] : debits) {
    f.debit(product);
    for (int k = 0; k < credits; ++k) {
      std::string seq = std::to_string(++sequence);
      seq.insert(0, 6 - seq.size(), '0');
      PayeeFields p;
      p.creditSequence = seq;
      f.credit(CreditLine(product).set(credit::sequence, seq), {payeeLine(p)});
    }
  }
  return f.bytes();
}

TEST(AcceptanceSeal, MoreThanTwentyExpressChequeCreditsStopTheRunBeforeAnyWrite) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, int>> debits;
    bool stops;
  } cases[] = {
      {"21 XMQ credits", {{"XMQ", 21}}, true},
      {"21 XDQ credits", {{"XDQ", 21}}, true},
      {"two XMQ debits of 11, counted over the file", {{"XMQ", 11}, {"XMQ", 11}}, true},
      {"20 XMQ and 20 XDQ credits", {{"XMQ", 20}, {"XDQ", 20}}, false},
      {"20 XMQ credits and more of another product", {{"XMQ", 20}, {"PAY", 3}}, false},
  };
  CliWorkspace ws;
  for (const Case& c : cases) {
    const std::string bytes = expressChequeFile(c.debits);
    auto input = ws.write("pay.txt", bytes);
    auto zip = ws.path("pay.zip");
    CliResult r = ws.run("seal", {input.string(), "--zip", zip.string()});
    const auto messages = r.messages();
    const bool limitShown =
        std::find(messages.begin(), messages.end(), kExpressChequeLimit) != messages.end();
    EXPECT_EQ(limitShown, c.stops) << c.name;
    if (c.stops) {
      EXPECT_EQ(r.code, 1) << c.name;
      EXPECT_EQ(r.outcome(), "stopped") << c.name;
      EXPECT_EQ(messages, std::vector<Message>{kExpressChequeLimit}) << c.name;
      EXPECT_EQ(r.rows(), std::vector<GridRow>{}) << c.name;
      EXPECT_FALSE(r.json["saveEnabled"].toBool()) << c.name;
      EXPECT_EQ(readFile(input), bytes) << c.name;
      EXPECT_FALSE(std::filesystem::exists(zip)) << c.name;
    }
  }
}

TEST(AcceptanceSeal, ValidationErrorsStopTheRunAfterTheNotificationFill) {
  PaymentFile f;
  f.debit("PAY").credit(
      CreditLine("PAY").set(credit::notification, " ").set(credit::currency, "USD"), {payeeLine()});
  std::vector<std::string> lines = f.lines();
  CliWorkspace ws;
  auto input = ws.write("pay.txt", joinLines(lines));
  auto zip = ws.path("pay.zip");
  auto errors = ws.path("errors.txt");
  CliResult r =
      ws.run("seal", {input.string(), "--zip", zip.string(), "--errors-out", errors.string()});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.outcome(), "stopped");
  EXPECT_EQ(r.messages(), (std::vector<Message>{{"information", "Error Data !", "OK"},
                                                {"information", "Error data save success", "OK"}}));
  EXPECT_EQ(r.rows(), (std::vector<GridRow>{{"003", "3", "51-53", "Credit Currency",
                                             "Currency should be THB", "1234567896", ""}}));
  EXPECT_EQ(r.json["status"].toString(), "Invalid data fields");
  EXPECT_TRUE(r.json["saveEnabled"].toBool());
  // The blank notification flag is filled in place, and nothing else of the file changes.
  lines[2][258] = 'N';
  EXPECT_EQ(readFile(input), joinLines(lines));
  EXPECT_FALSE(std::filesystem::exists(zip));
  EXPECT_EQ(readFile(errors),
            "Record Type:  003  LineNo.:  3  Column:  51-53  Field Name:  Credit Currency  "
            "Message:  Currency should be THB\r\n");
}

TEST(AcceptanceSeal, InvalidHomeBankDebitAccountsAskToAbortOrIgnore) {
  // The only fault of the file: the debit account fails its check digit.
  PaymentFile f;
  f.debit("PAY", kFarValueDate, "1234567890").credit(CreditLine("PAY"), {payeeLine()});
  const std::string bytes = f.bytes();
  const Message prompt{"warning",
                       "There are some invalid ZNB Account.  Please choose action to do. ", ""};
  const GridRow accountRow{"002",
                           "2",
                           "15-39",
                           "Debit Account No",
                           "Invalid ZNB Account",
                           withField("", 1, 25, "1234567890"),
                           ""};
  auto answered = [](Message m, const char* answer) {
    m.answer = answer;
    return m;
  };
  struct Case {
    const char* answer;
    std::vector<Message> messages;
    const char* status;
    bool saveEnabled;
  } cases[] = {
      {"abort",
       {answered(prompt, "Abort"),
        {"error", "Error Data", "OK"},
        {"information", "Error data save success", "OK"}},
       "Invalid data fields",
       true},
      {"close", {answered(prompt, "Close")}, "", false},
  };
  CliWorkspace ws;
  for (const Case& c : cases) {
    auto input = ws.write("pay.txt", bytes);
    auto zip = ws.path("pay.zip");
    auto errors = ws.path("errors.txt");
    std::filesystem::remove(errors);
    CliResult r = ws.run("seal", {input.string(), "--zip", zip.string(), "--invalid-accounts",
                                  c.answer, "--errors-out", errors.string()});
    EXPECT_EQ(r.code, 1) << c.answer;
    EXPECT_EQ(r.outcome(), "stopped") << c.answer;
    EXPECT_EQ(r.messages(), c.messages) << c.answer;
    EXPECT_EQ(r.rows(), std::vector<GridRow>{accountRow}) << c.answer;
    EXPECT_EQ(r.json["status"].toString().toStdString(), c.status) << c.answer;
    EXPECT_EQ(r.json["saveEnabled"].toBool(), c.saveEnabled) << c.answer;
    EXPECT_FALSE(std::filesystem::exists(zip)) << c.answer;
    EXPECT_EQ(std::filesystem::exists(errors), c.saveEnabled) << c.answer;
  }

  // Ignore is confirmed with Yes, and the run goes on past the prompt.
  auto input = ws.write("pay.txt", bytes);
  CliResult r = ws.run("seal", {input.string(), "--zip", ws.path("pay.zip").string(),
                                "--invalid-accounts", "ignore"});
  const auto messages = r.messages();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages[0], answered(prompt, "Ignore"));
  EXPECT_EQ(messages[1],
            (Message{"confirm", "Please Confirm to Ignore invalid ZNB Account. ", "Yes"}));
  for (const Message& m : messages) EXPECT_NE(m.text, "Error Data");
}

}  // namespace
}  // namespace bs::test
