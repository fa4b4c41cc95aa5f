// A batch run in Replace mode killed at a hundred moments spread over its whole length: after
// every kill the payment file is whole (as it was, filled, or completely sealed), the archive is
// absent or a valid zip whose one entry holds a computed seal, and the table files still serve
// the next run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "output/seal_verify.h"
#include "payment_files.h"
#include "support/test_support.h"

namespace bs {
namespace {

namespace fs = std::filesystem;

pid_t forkRun(const fs::path& program, const fs::path& payment, const fs::path& zip,
              const fs::path& newFile = {}) {
  pid_t pid = ::fork();
  if (pid == 0) {
    test::WiredSession ws(program);
    ::_exit(ws.runBatch(payment.string(), zip.string(), newFile.string()) ? 0 : 1);
  }
  return pid;
}

int waitFor(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(KillTest, AHundredKillsLeaveThePaymentFileWholeAndTheArchiveValid) {
  const std::string original = test::cleanPaymentFile(1000);  // about 1.2 MB
  test::TempDir dir;
  const fs::path program = test::makeProgramFolder(dir);
  const fs::path payment = dir / "payment.txt";
  const fs::path zip = dir / "payment.zip";

  // One whole run, for the sealed bytes and for the length over which the kills are spread.
  test::writeFile(payment, original);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(waitFor(forkRun(program, payment, zip)), 0);
  const auto whole = std::chrono::steady_clock::now() - start;
  const std::string sealed = test::readFile(payment);
  ASSERT_TRUE(verifySeal(payment.string()).holds);
  test::writeFile(payment, original);
  // A new file that cannot be created stops the run right after the fill.
  ASSERT_EQ(waitFor(forkRun(program, payment, zip, dir / "nowhere" / "out.txt")), 1 << 8);
  const std::string filled = test::readFile(payment);
  ASSERT_TRUE(filled != original);

  constexpr int kKills = 100;
  int seen[3] = {0, 0, 0};  // as it was or filled, sealed, and runs that finished before the kill
  for (int i = 0; i < kKills; ++i) {
    SCOPED_TRACE("kill " + std::to_string(i));
    test::writeFile(payment, original);
    const pid_t pid = forkRun(program, payment, zip);
    // Runs on a loaded machine take longer than the one measured: the last kills come at up to
    // one and a half times its length, so that some of them find the run finished.
    std::this_thread::sleep_for(whole * 3 * i / (2 * (kKills - 5)));
    ::kill(pid, SIGKILL);
    const int status = waitFor(pid);
    if (WIFEXITED(status)) ++seen[2];

    const std::string now = test::readFile(payment);
    if (now == original || now == filled) {
      ++seen[0];
    } else {
      ASSERT_TRUE(now == sealed) << "the payment file is neither old, filled nor sealed";
      ++seen[1];
    }
    if (fs::exists(zip)) {
      ASSERT_TRUE(verifySeal(zip.string()).holds) << "damaged archive";
    }
    // A kill may leave an unfinished temporary file; it is never the payment file or archive.
    for (const auto& e : fs::directory_iterator(dir.path())) {
      const std::string name = e.path().filename().string();
      if (name != "payment.txt" && name != "payment.zip" && name != "program") fs::remove(e.path());
    }
  }
  std::printf(
      "kills: %d left the payment file as it was or filled, %d sealed; %d runs ended first\n",
      seen[0], seen[1], seen[2]);
  // The kills landed inside the work, not only before or after it.
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);
  EXPECT_LT(seen[2], kKills);

  // The table files came through every kill: a run after the last one completes.
  test::writeFile(payment, original);
  EXPECT_EQ(waitFor(forkRun(program, payment, zip)), 0);
  EXPECT_TRUE(test::holds(payment, sealed));
}

}  // namespace
}  // namespace bs
