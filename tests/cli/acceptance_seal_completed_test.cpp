// A clean payment file sealed through `batchseal-cli seal`: the output file starts with the
// SHA-1 of the records that follow it, the archive is written, and `verify` accepts both.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>

#include <regex>
#include <string>
#include <vector>

#include "acceptance_support.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/payment_file.h"
#include "support/record_lines.h"

namespace bs::test {
namespace {

const std::filesystem::path kSample =
    std::filesystem::path(BATCHSEAL_SOURCE_DIR) / "examples" / "sample-payment.txt";

TEST(AcceptanceSealCompleted, TheSampleFileIsSealedIntoItsArchive) {
  struct Case {
    const char* name;
    bool newFile;
    const char* zipName;    // as typed
    const char* zipOnDisk;  // as written
  } cases[] = {
      {"replace", false, "sample.zip", "sample.zip"},
      {"new file", true, "sample.ZiP", "sample.ZiP"},
      {"archive name without extension", false, "sample", "sample.zip"},
  };
  for (const Case& c : cases) {
    CliWorkspace ws;
    const std::string original = readFile(kSample);
    auto input = ws.write("sample-payment.txt", original);
    auto output = ws.path("sealed.txt");
    auto zipTyped = ws.path(c.zipName);
    std::vector<std::string> args{input.string(), "--zip", zipTyped.string()};
    if (c.newFile) args.insert(args.end(), {"--new-file", output.string()});
    CliResult r = ws.run("seal", args);
    EXPECT_EQ(r.code, 0) << c.name;
    EXPECT_EQ(r.outcome(), "completed") << c.name;
    const auto messages = r.messages();
    ASSERT_FALSE(messages.empty()) << c.name;
    EXPECT_EQ(
        messages.back(),
        (Message{"information",
                 "Generate hash value and add file to " + zipTyped.string() + " completed", "OK"}))
        << c.name;
    const std::string hash = r.json["hash"].toString().toStdString();
    EXPECT_TRUE(std::regex_match(hash, std::regex("[0-9A-F]{40}"))) << c.name << ": " << hash;

    const auto sealed = c.newFile ? output : input;
    const std::string sealedBytes = readFile(sealed);
    EXPECT_EQ(sealedBytes.substr(0, 42), hash + "\r\n") << c.name;
    if (c.newFile) {
      EXPECT_EQ(readFile(input), original) << c.name;
    }
    const QByteArray records = QByteArray::fromStdString(sealedBytes.substr(42));
    EXPECT_EQ(QCryptographicHash::hash(records, QCryptographicHash::Sha1).toHex().toUpper(),
              QByteArray::fromStdString(hash))
        << c.name;
    // Records that were already normalised come out as they went in.
    EXPECT_EQ(sealedBytes.substr(42), original) << c.name;
    ASSERT_TRUE(std::filesystem::exists(ws.path(c.zipOnDisk))) << c.name;
    EXPECT_EQ(readFile(ws.path(c.zipOnDisk)).substr(0, 4), std::string("PK\x03\x04", 4)) << c.name;
    // The seal holds on the output file and on the archive's entry.
    EXPECT_EQ(ws.run("verify", {sealed.string()}).code, 0) << c.name;
    EXPECT_EQ(ws.run("verify", {ws.path(c.zipOnDisk).string()}).code, 0) << c.name;
  }
}

TEST(AcceptanceSealCompleted, TheNormalisedRecordsAreWhatIsWrittenAndHashed) {
  // A credit with text in its last twenty columns, and a payee whose only identifier is a
  // 10-character ID card.
  PayeeFields p;
  p.idCard = "1234567890";
  p.taxId.clear();
  PaymentFile f;
  f.debit("PAY").credit(withField(CreditLine("PAY"), 336, 355, "LEFTOVER TEXT 12345Z"),
                        {payeeLine(p)});
  std::vector<std::string> expected = f.lines();
  expected[2] = withField(expected[2], 336, 355, "");
  expected[3] = withField(withField(expected[3], 18, 32, ""), 343, 352, "1234567890");

  CliWorkspace ws;
  auto input = ws.write("pay.txt", f.bytes());
  CliResult r = ws.run("seal", {input.string(), "--zip", ws.path("pay.zip").string()});
  ASSERT_EQ(r.code, 0);
  const std::string sealed = readFile(input);
  const std::string hash = r.json["hash"].toString().toStdString();
  EXPECT_EQ(sealed, hash + "\r\n" + joinLines(expected));
  EXPECT_EQ(QCryptographicHash::hash(QByteArray::fromStdString(joinLines(expected)),
                                     QCryptographicHash::Sha1)
                .toHex()
                .toUpper(),
            QByteArray::fromStdString(hash));
}

TEST(AcceptanceSealCompleted, IgnoringInvalidDebitAccountsSealsTheFile) {
  PaymentFile f;
  f.debit("PAY", kFarValueDate, "1234567890").credit(CreditLine("PAY"), {payeeLine()});
  CliWorkspace ws;
  auto input = ws.write("pay.txt", f.bytes());
  auto zip = ws.path("pay.zip");
  CliResult r =
      ws.run("seal", {input.string(), "--zip", zip.string(), "--invalid-accounts", "ignore"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.outcome(), "completed");
  EXPECT_EQ(r.messages(),
            (std::vector<Message>{
                {"warning", "There are some invalid ZNB Account.  Please choose action to do. ",
                 "Ignore"},
                {"confirm", "Please Confirm to Ignore invalid ZNB Account. ", "Yes"},
                {"information",
                 "Generate hash value and add file to " + zip.string() + " completed", "OK"},
            }));
  EXPECT_EQ(ws.run("verify", {zip.string()}).code, 0);
}

}  // namespace
}  // namespace bs::test
