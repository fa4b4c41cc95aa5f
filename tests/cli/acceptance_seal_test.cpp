// `batchseal-cli seal` over whole payment files: the gates that stop a run before anything is
// written.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "acceptance_support.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/payment_file.h"

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

}  // namespace
}  // namespace bs::test
