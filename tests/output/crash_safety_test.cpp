// The payment file must survive anything that can stop a run half way: a kill at any moment and
// a disk that fills up.  Each run happens in a forked child.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/failure.h"
#include "output/hashed_output.h"
#include "output/notification_fill.h"
#include "output/seal_verify.h"
#include "output_fixtures.h"

namespace bs {
namespace {

namespace fs = std::filesystem;

// Fill and seal, as the batch run does, in Replace mode unless `newFile` is given.
void fillAndSeal(const fs::path& program, const std::string& payment, const std::string& zip,
                 const std::string& newFile = "") {
  ScriptedUi ui;
  Session s(ui, ProgramPaths{program}, Clock::fixed("20261209"));
  s.form.edtFileInput.text = payment;
  s.form.edtZip.text = zip;
  s.form.rdoReplace.checked = newFile.empty();
  s.form.rdoNew.checked = !newFile.empty();
  s.form.edtNewFile.text = newFile;
  fillNotificationFlags(s);
  writeHashedOutput(s);
}

// Exit status 0: done; 3: a Failure ended the run; 4: something else.
template <typename F>
pid_t forkRun(F&& run) {
  pid_t pid = ::fork();
  if (pid == 0) {
    int code = 0;
    try {
      run();
    } catch (const Failure&) {
      code = 3;
    } catch (...) {
      code = 4;
    }
    ::_exit(code);
  }
  return pid;
}

int waitFor(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

struct Expected {
  std::string original;
  std::string filled;
  std::string sealed;
};

Expected expectedFor(const std::string& original) {
  test::TempDir dir;
  auto program = dir / "program";
  fs::create_directories(program);
  test::writeFile(dir / "p.txt", original);
  fillNotificationFlags((dir / "p.txt").string());
  std::string filled = test::readFile(dir / "p.txt");
  fillAndSeal(program, (dir / "p.txt").string(), (dir / "a.zip").string());
  return {original, filled, test::readFile(dir / "p.txt")};
}

TEST(CrashSafety, KilledAtAnyMomentThePaymentFileIsOldFilledOrCompletelySealed) {
  const std::string original = test::paymentFile(2000);  // about 2.3 MB
  const Expected expected = expectedFor(original);
  ASSERT_NE(expected.filled, expected.original);
  ASSERT_TRUE(expected.sealed.size() > original.size());

  test::TempDir dir;
  auto program = dir / "program";
  fs::create_directories(program);
  const std::string payment = (dir / "payment.txt").string();
  const std::string zip = (dir / "payment.zip").string();

  // How long one whole run takes here, to spread the kills over it.
  test::writeFile(payment, original);
  auto start = std::chrono::steady_clock::now();
  int status = waitFor(forkRun([&] { fillAndSeal(program, payment, zip); }));
  auto whole = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(test::readFile(payment), expected.sealed);

  constexpr int kKills = 24;
  int seen[3] = {0, 0, 0};
  for (int i = 0; i < kKills; ++i) {
    test::writeFile(payment, original);
    pid_t pid = forkRun([&] { fillAndSeal(program, payment, zip); });
    // Up to one and a half times the measured run: a loaded machine makes runs longer.
    std::this_thread::sleep_for(whole * 3 * i / (2 * (kKills - 4)));
    ::kill(pid, SIGKILL);
    waitFor(pid);
    std::string now = test::readFile(payment);
    if (now == expected.original) {
      ++seen[0];
    } else if (now == expected.filled) {
      ++seen[1];
    } else {
      ASSERT_EQ(now.size(), expected.sealed.size()) << "kill " << i;
      ASSERT_TRUE(now == expected.sealed) << "kill " << i << ": neither old, filled nor sealed";
      ASSERT_TRUE(verifySeal(payment).holds);
      ++seen[2];
    }
    // A kill leaves at most the unfinished temporary files; they are never the payment file.
    for (const auto& name : test::filesIn(dir.path()))
      if (name != "payment.txt" && name != "payment.zip" && name != "program")
        fs::remove(dir / name);
  }
  // The kills did land in the middle of the work, not only before or after it.
  EXPECT_GT(seen[0] + seen[1], 0);
  EXPECT_GT(seen[2], 0);
}

TEST(CrashSafety, AFullDiskLeavesThePaymentFileWholeAndNoUnsealedOutput) {
  const std::string original = test::paymentFile(500);
  const Expected expected = expectedFor(original);
  struct Case {
    const char* name;
    bool newFile;
    rlim_t limit;
    const std::string& payment;  // what the payment file holds afterwards
  };
  const Case cases[] = {
      {"the fill cannot be written", false, 4096, expected.original},
      {"the output cannot be written, Replace mode", false, original.size() + 10, expected.filled},
      {"the output cannot be written, New File mode", true, original.size() + 10, expected.filled},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    auto program = dir / "program";
    fs::create_directories(program);
    const std::string payment = (dir / "payment.txt").string();
    const std::string out = (dir / "out.txt").string();
    test::writeFile(payment, original);
    int status = waitFor(forkRun([&] {
      ::signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit {
        c.limit, c.limit
      };
      ::setrlimit(RLIMIT_FSIZE, &limit);
      fillAndSeal(program, payment, (dir / "a.zip").string(), c.newFile ? out : "");
    }));
    ASSERT_TRUE(WIFEXITED(status)) << c.name;
    EXPECT_EQ(WEXITSTATUS(status), 3) << c.name;
    EXPECT_TRUE(test::readFile(payment) == c.payment) << c.name;
    // No output, no archive and no temporary file are left.
    EXPECT_EQ(test::filesIn(dir.path()), (std::vector<std::string>{"payment.txt", "program"}))
        << c.name;
  }
}

}  // namespace
}  // namespace bs
