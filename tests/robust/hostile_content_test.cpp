// Payment files made to hurt: NUL and 0x1A bytes, bytes above 0x7F everywhere, a line of 100 MB
// without a CR, millions of lines, names full of quotes, SQL and shell syntax.  The run ends in
// a message, never a crash or a hang; memory stays bounded by the longest line; no text of the
// file reaches a shell, a path, or the meaning of an SQL statement; and the archive's entry name
// is always the bare name of the output file.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "output/seal_verify.h"
#include "payment_files.h"
#include "support/credit_lines.h"
#include "support/detail_lines.h"
#include "support/record_lines.h"
#include "support/test_support.h"

namespace bs {
namespace {

namespace fs = std::filesystem;

// Every file below `root` with its size and modification time, to see what a run touched.
std::map<std::string, std::string> snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    std::string what = e.is_directory() ? "dir" : std::to_string(e.file_size());
    if (!e.is_directory())
      what += "@" + std::to_string(e.last_write_time().time_since_epoch().count());
    files[fs::relative(e.path(), root).string()] = what;
  }
  return files;
}

std::string withPayeeName(std::string_view nameEn) {
  test::PayeeFields fields;
  fields.nameEn = std::string(nameEn);
  return test::payeeLine(fields);
}

// A clean file of one credit whose payee line is `payee`.
std::string oneCreditFile(const std::string& payee) {
  test::CreditLine credit("PAY");
  return test::joinLines({test::headerLine(), test::debitLine("PAY", 1000000, 1), credit.str(),
                          payee, test::trailerLine(1, 1, 1000000)});
}

std::string everyByteAbove7F(std::size_t length) {
  std::string line;
  for (std::size_t i = 0; i < length; ++i) line.push_back(static_cast<char>(0x80 + i % 0x80));
  return line;
}

TEST(HostileContent, OddBytesEndInAMessageAndLeaveEverythingElseAlone) {
  const std::string clean = test::cleanPaymentFile(2);
  const std::string credit = test::CreditLine("PAY").str();
  struct Case {
    const char* name;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"NUL bytes inside records",
       [&] {
         std::string b = clean;
         for (std::size_t i = 5; i < b.size(); i += 37) b[i] = '\0';
         return b;
       }()},
      {"only NUL bytes", std::string(10000, '\0')},
      {"0x1A right at the start", "\x1A" + clean},
      {"0x1A in the middle of a credit", clean.substr(0, 200) + "\x1A" + clean.substr(200)},
      {"bytes above 0x7F in every field",
       [&] {
         std::string b;
         for (const char* type : {"001", "002", "003", "004", "999"})
           b += type + everyByteAbove7F(std::string_view(type) == "003" ? 352 : 93) + "\r\n";
         return b;
       }()},
      {"bytes above 0x7F over a whole credit",
       test::joinLines({test::headerLine(), "003" + everyByteAbove7F(352)})},
      {"lone LF and CR everywhere", std::string(5000, '\n') + std::string(5000, '\r')},
      {"records without a line end", credit + credit + credit},
      {"a number field full of signs and exponents",
       [&] {
         std::string line = credit;
         line.replace(34, 16, "-1.5E+308E-99999");
         return test::joinLines({test::headerLine(), test::debitLine("PAY", 1000000, 1), line,
                                 test::payeeLine(), test::trailerLine(1, 1, 1000000)});
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const fs::path program = test::makeProgramFolder(dir);
    test::WiredSession ws(program);
    const fs::path payment = dir / "payment.txt";
    test::writeFile(payment, c.bytes);
    const auto before = snapshot(dir.path());
    const bool completed = ws.runBatch(payment.string(), (dir / "a.zip").string());
    EXPECT_FALSE(ws.lastMessage().empty());
    if (completed) {
      // A file that holds no line at all (0x1A first) is sealed as an empty batch.
      EXPECT_TRUE(verifySeal(payment.string()).holds);
      EXPECT_TRUE(verifySeal((dir / "a.zip").string()).holds);
    } else {
      // Only the payment file (its fill) and the table files may have changed.
      const auto after = snapshot(dir.path());
      for (const auto& [name, what] : after) {
        if (name != "payment.txt" && name.rfind("program/Data/", 0) != 0) {
          EXPECT_EQ(before.count(name) ? before.at(name) : "", what) << name;
        }
      }
    }
    // The Session runs the next command.
    test::writeFile(payment, clean);
    EXPECT_TRUE(ws.runBatch(payment.string(), (dir / "a.zip").string())) << ws.lastMessage();
  }
}

TEST(HostileContent, NamesOfSqlQuotesAndShellStayTextAndTheEntryNameIsBare) {
  const std::vector<std::string> names = {
      "O'BRIEN'S ''TRADING'' CO",
      "X'); DROP TABLE addAccBatchError; --",
      "\" OR 1=1 -- \\' ; DELETE FROM ReportTable",
      "$(touch pwned) `touch pwned` ; touch pwned",
  };
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    test::TempDir dir;
    const fs::path program = test::makeProgramFolder(dir);
    test::WiredSession ws(program);
    // File and archive names of the same kind, in a folder of their own.
    const fs::path folder = dir / "it's; $(x)";
    fs::create_directories(folder);
    const fs::path payment = folder / "pay'; rm -rf .. #.txt";
    const fs::path zip = folder / "z\"ip $(touch pwned).zip";
    test::writeFile(payment, oneCreditFile(withPayeeName(name)));
    ws.runBatch(payment.string(), zip.string());

    // The name went into the table as the text it is, and the tables are all still there.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((program / "Data" / "addAccBatchError.DAT").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db, "SELECT BENE_NAME_EN FROM addAccBatchError", -1, &stmt, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    EXPECT_EQ(std::string(text ? text : ""), name);  // trimmed, as the rules keep it
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    for (const char* table : {"ReportTable", "ReportTableDetail"}) {
      ASSERT_EQ(sqlite3_open((program / "Data" / (std::string(table) + ".DAT")).c_str(), &db),
                SQLITE_OK);
      EXPECT_EQ(sqlite3_exec(db, (std::string("SELECT * FROM ") + table).c_str(), nullptr, nullptr,
                             nullptr),
                SQLITE_OK);
      sqlite3_close(db);
    }

    // Nothing ran a shell.
    for (const auto& e : fs::recursive_directory_iterator(dir.path()))
      EXPECT_NE(e.path().filename(), "pwned");
    for (const auto& e : fs::recursive_directory_iterator(fs::current_path()))
      EXPECT_NE(e.path().filename(), "pwned");

    // The archive holds one entry, under the bare name of the output file.
    if (fs::exists(zip)) {
      int error = 0;
      zip_t* za = zip_open(zip.c_str(), ZIP_RDONLY, &error);
      ASSERT_NE(za, nullptr);
      ASSERT_EQ(zip_get_num_entries(za, 0), 1);
      EXPECT_EQ(std::string(zip_get_name(za, 0, 0)), payment.filename().string());
      zip_close(za);
      EXPECT_TRUE(verifySeal(zip.string()).holds);
    }
  }
}

// Runs `bytes` through the batch run in a child and reports the child's peak memory in KiB.
long peakMemoryOfRun(const fs::path& program, const fs::path& payment) {
  pid_t pid = ::fork();
  if (pid == 0) {
    test::WiredSession ws(program);
    ws.runBatch(payment.string(), (payment.parent_path() / "a.zip").string());
    ::_exit(ws.lastMessage().empty() ? 1 : 0);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  return usage.ru_maxrss;
}

TEST(HostileContent, AHugeLineAndMillionsOfLinesKeepMemoryBounded) {
  test::TempDir dir;
  const fs::path program = test::makeProgramFolder(dir);
  const fs::path payment = dir / "payment.txt";

  // The memory of a run on a small file, as the base line.
  test::writeFile(payment, test::cleanPaymentFile(1));
  const long base = peakMemoryOfRun(program, payment);

  // A gigabyte of NUL bytes after the given bytes, as a sparse file that costs no disk.
  constexpr std::uintmax_t kGigabyte = std::uintmax_t{1} << 30;
  constexpr long kBoundKiB = 64 << 10;
  struct Case {
    const char* name;
    std::function<std::string()> bytes;
    long boundKiB;  // above the base line
    std::uintmax_t nulTail = 0;
  };
  const std::vector<Case> cases = {
      {"1 GB of NUL bytes", [] { return std::string(); }, kBoundKiB, kGigabyte},
      {"a 1 GB line of a known type, without a CR", [] { return std::string("003"); }, kBoundKiB,
       kGigabyte},
      {"three million empty lines", [] { return std::string(3'000'000, '\r'); },
       // one error row per line in the grid, at most a few hundred bytes each
       3'000'000 / 1024 * 600},
      {"two million short trailer lines",
       [] {
         std::string b;
         for (int i = 0; i < 2'000'000; ++i) b += "999\r\n";
         return b;
       },
       2'000'000 / 1024 * 600},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = c.bytes();
    test::writeFile(payment, bytes);
    if (c.nulTail) fs::resize_file(payment, bytes.size() + c.nulTail);
    const long peak = peakMemoryOfRun(program, payment);
    std::printf("%s: peak %ld KiB, base %ld KiB\n", c.name, peak, base);
    EXPECT_LT(peak - base, c.boundKiB);
  }
}

}  // namespace
}  // namespace bs
