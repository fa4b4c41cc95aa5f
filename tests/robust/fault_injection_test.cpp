// Every file operation of a batch run failing for real: each case breaks one thing on disk or in
// the process, runs the batch in a forked child (so that privileges and file-size limits stay
// there), and then runs a second, clean batch on the same Session.  Each time the command ends
// with that failure's message and no later step runs, the payment file is as it was, filled or
// completely sealed (never partly written), an output file or archive that exists holds a seal
// that was computed, and the Session completes the next command.
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/platform_file.h"
#include "output/seal_verify.h"
#include "payment_files.h"
#include "support/test_support.h"

namespace bs {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

// The files of one case.  The second run uses its own files in `second`, so that what the
// first run left stays as it was for the checks.
struct Files {
  fs::path dir, program, payment, out, zip, second;
  pid_t helper = -1;  // a process that holds a table file locked
};

enum class Payment { Original, Filled, Sealed };

struct FaultCase {
  const char* name;
  bool newFile = false;
  bool asNobody = false;                          // the child drops root for permissions to count
  rlim_t fileSizeLimit = RLIM_INFINITY;           // largest file the child may write
  std::function<void(Files&)> arrange = nullptr;  // parent, before the run
  std::function<void(Files&)> mend = nullptr;     // child, before the second run
  std::string messageHas;                         // the error box's text contains this
  Payment payment = Payment::Original;
  bool outputWritten = false;  // New File mode: the sealed output exists afterwards
};

struct Observed {
  std::string kind, text;  // the last box of the first run
  bool firstCompleted = true;
  std::vector<std::string> left;  // what the first run left in the case folder
  bool secondCompleted = false;
  std::string secondText;
};

std::string join(const std::vector<std::string>& parts) {
  std::string out;
  for (const auto& p : parts) out += p + '\n';
  return out;
}

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    parts.push_back(text.substr(start, nl - start));
  return parts;
}

std::vector<std::string> namesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void chownTree(const fs::path& root, uid_t uid) {
  ASSERT_EQ(::lchown(root.c_str(), uid, uid), 0);
  for (const auto& e : fs::recursive_directory_iterator(root))
    ASSERT_EQ(::lchown(e.path().c_str(), uid, uid), 0);
}

// Holds `table` locked (an exclusive transaction, or a read transaction that lets the run write
// but not commit) until killed; returns once the lock is held.
pid_t holdLocked(const fs::path& table, const char* sql = "BEGIN EXCLUSIVE") {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ready[0]);
    sqlite3* db = nullptr;
    if (sqlite3_open(table.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
      ::_exit(1);
    ssize_t w = ::write(ready[1], "x", 1);
    (void)w;
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char c = 0;
  ssize_t r = ::read(ready[0], &c, 1);
  ::close(ready[0]);
  return r == 1 ? pid : -1;
}

// Runs `child` in a forked child and returns the text it hands back.
std::string inChild(const std::function<std::string()>& child) {
  int pipeFds[2];
  EXPECT_EQ(::pipe(pipeFds), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    const std::string text = child();
    ssize_t w = ::write(pipeFds[1], text.data(), text.size());
    ::_exit(w == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  ::close(pipeFds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  return text;
}

// The first run under the fault, then the mend and the second run on the same Session, all in
// a child; what it saw comes back through a pipe.
Observed runCase(const FaultCase& c, Files& f) {
  const std::string text = inChild([&] {
    if (c.asNobody && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(2);
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{c.fileSizeLimit, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limit);

    test::WiredSession ws(f.program);
    std::vector<std::string> report;
    const bool first =
        ws.runBatch(f.payment.string(), f.zip.string(), c.newFile ? f.out.string() : "");
    report.push_back(ws.lastKind());
    report.push_back(ws.lastMessage());
    report.push_back(first ? "completed" : "stopped");
    const std::vector<std::string> left = namesIn(f.dir);
    report.push_back(std::to_string(left.size()));
    report.insert(report.end(), left.begin(), left.end());

    limit.rlim_cur = RLIM_INFINITY;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    if (c.mend) c.mend(f);
    const bool second =
        ws.runBatch((f.second / "payment.txt").string(), (f.second / "b.zip").string(),
                    c.newFile ? (f.second / "out.txt").string() : "");
    report.push_back(second ? "completed" : "stopped");
    report.push_back(ws.lastMessage());
    return join(report);
  });

  Observed o;
  const std::vector<std::string> parts = split(text);
  if (parts.size() < 6) return o;
  std::size_t i = 0;
  o.kind = parts[i++];
  o.text = parts[i++];
  o.firstCompleted = parts[i++] == "completed";
  const std::size_t count = std::stoul(parts[i++]);
  for (std::size_t k = 0; k < count && i < parts.size(); ++k) o.left.push_back(parts[i++]);
  if (i + 1 < parts.size()) {
    o.secondCompleted = parts[i++] == "completed";
    o.secondText = parts[i++];
  }
  return o;
}

// The payment file's bytes before the run, after the fill, and sealed.
struct Expected {
  std::string original, filled, sealed;
};

Expected expectedFor(const std::string& original) {
  test::TempDir dir;
  test::WiredSession ws(test::makeProgramFolder(dir));
  Expected e{original, "", ""};
  test::writeFile(dir / "p.txt", original);
  // The fill alone: a run into a New File whose archive cannot be made stops after the fill
  // and the output; the payment file then holds the fill only.
  ws.runBatch((dir / "p.txt").string(), (dir / "missing" / "a.zip").string(),
              (dir / "o.txt").string());
  e.filled = test::readFile(dir / "p.txt");
  test::writeFile(dir / "p.txt", original);
  EXPECT_TRUE(ws.runBatch((dir / "p.txt").string(), (dir / "a.zip").string()));
  e.sealed = test::readFile(dir / "p.txt");
  return e;
}

void restoreTable(const Files& f, const char* name) {
  fs::copy_file(fs::path(BATCHSEAL_PROGRAM_DIR) / "Data" / name, f.program / "Data" / name,
                fs::copy_options::overwrite_existing);
}

TEST(FaultInjection, EveryFailingFileOperationEndsTheCommandAndLosesNothing) {
  const std::string original = test::cleanPaymentFile(40);
  const Expected expected = expectedFor(original);
  ASSERT_TRUE(expected.filled != expected.original);
  ASSERT_GT(expected.sealed.size(), expected.filled.size());
  const rlim_t size = original.size();

  const char* const kContext = "addAccBatchError.DAT";
  const std::vector<FaultCase> cases = {
      {.name = "the input is a folder",
       .arrange =
           [](Files& f) {
             fs::remove(f.payment);
             fs::create_directory(f.payment);
           },
       .messageHas = "Input File does not exist"},
      {.name = "the input is a pipe: no hang",
       .arrange =
           [](Files& f) {
             fs::remove(f.payment);
             ASSERT_EQ(::mkfifo(f.payment.c_str(), 0600), 0);
           },
       .messageHas = "payment.txt\". It is a device, a pipe or a socket"},
      {.name = "the input is an endless device",
       .arrange = [](Files& f) { f.payment = "/dev/zero"; },
       .messageHas = "/dev/zero\". It is a device, a pipe or a socket"},
      {.name = "the input cannot be read",
       .asNobody = true,
       .arrange = [](Files& f) { fs::permissions(f.payment, fs::perms::none); },
       .messageHas = "Permission denied"},
      {.name = "the folder of the payment file cannot be written: the fill has no scratch file",
       .asNobody = true,
       .arrange =
           [](Files& f) {
             fs::permissions(f.dir, fs::perms::owner_write, fs::perm_options::remove);
           },
       .mend =
           [](Files& f) { fs::permissions(f.dir, fs::perms::owner_write, fs::perm_options::add); },
       .messageHas = "Cannot create file"},
      {.name = "the disk fills up during the fill",
       .fileSizeLimit = size / 2,
       .messageHas = "Write error on file"},
      {.name = "the disk fills up during the output, Replace mode",
       .fileSizeLimit = size + 10,
       .messageHas = "Write error on file",
       .payment = Payment::Filled},
      {.name = "the disk fills up during the output, New File mode",
       .newFile = true,
       .fileSizeLimit = size + 10,
       .messageHas = "Write error on file",
       .payment = Payment::Filled},
      {.name = "the folder of the new file cannot be written",
       .newFile = true,
       .asNobody = true,
       .arrange = [](Files& f) { f.out = f.dir / "locked" / "out.txt"; },
       .messageHas = "Cannot create file",
       .payment = Payment::Filled},
      // The archive is made before the output is put in place: a payment file is never sealed
      // without the archive that holds it.
      {.name = "the archive is a folder",
       .arrange = [](Files& f) { fs::create_directory(f.zip); },
       .messageHas = "a.zip\". It is a folder",
       .payment = Payment::Filled},
      {.name = "the archive is no zip file",
       .newFile = true,
       .arrange = [](Files& f) { test::writeFile(f.zip, "these are not the bytes of a zip\r\n"); },
       .messageHas = "Not a zip archive",
       .payment = Payment::Filled},
      {.name = "the archive is marked read-only",
       .arrange =
           [](Files& f) {
             test::writeFile(f.zip, "PK\x05\x06" + std::string(18, '\0'));
             fs::permissions(f.zip, fs::perms::owner_read);
           },
       .messageHas = "a.zip\". Permission denied",
       .payment = Payment::Filled},
      {.name = "the payment file is marked read-only",
       .arrange = [](Files& f) { fs::permissions(f.payment, fs::perms::owner_read); },
       .messageHas = "payment.txt\". Permission denied"},
      {.name = "the archive's folder does not exist",
       .arrange = [](Files& f) { f.zip = f.dir / "nowhere" / "a.zip"; },
       .messageHas = "a.zip\". No such file or directory",
       .payment = Payment::Filled},
      {.name = "a table file is missing",
       .arrange = [=](Files& f) { fs::remove(f.program / "Data" / kContext); },
       .mend = [=](Files& f) { restoreTable(f, kContext); },
       .messageHas = kContext,
       .payment = Payment::Filled},
      {.name = "a table file is read-only",
       .asNobody = true,
       .arrange =
           [=](Files& f) { fs::permissions(f.program / "Data" / kContext, fs::perms::owner_read); },
       .mend =
           [=](Files& f) {
             fs::permissions(f.program / "Data" / kContext,
                             fs::perms::owner_read | fs::perms::owner_write);
           },
       .messageHas = "read-only",
       .payment = Payment::Filled},
      {.name = "a table file is corrupt",
       .arrange =
           [=](Files& f) {
             test::writeFile(f.program / "Data" / kContext,
                             std::string(4096, '\x5A') + "not a table file");
           },
       .mend = [=](Files& f) { restoreTable(f, kContext); },
       .messageHas = "damaged",
       .payment = Payment::Filled},
      // The report tables are committed before any file is visible: a commit that cannot be
      // made leaves the payment file as the fill left it.
      {.name = "a table file is read by another program when the command commits",
       .arrange =
           [=](Files& f) {
             f.helper = holdLocked(f.program / "Data" / kContext,
                                   "BEGIN; SELECT count(*) FROM sqlite_master");
           },
       .mend = [](Files& f) { ::kill(f.helper, SIGKILL); },
       .messageHas = "is locked by another program",
       .payment = Payment::Filled},
      {.name = "the new file is marked read-only",
       .newFile = true,
       .arrange =
           [](Files& f) {
             test::writeFile(f.out, "the user's own file\r\n");
             fs::permissions(f.out, fs::perms::owner_read);
           },
       .messageHas = "out.txt\". Permission denied",
       .payment = Payment::Filled},
      {.name = "a table file is locked by another program past the retries",
       .arrange = [=](Files& f) { f.helper = holdLocked(f.program / "Data" / kContext); },
       .mend = [](Files& f) { ::kill(f.helper, SIGKILL); },
       .messageHas = "is locked by another program",
       .payment = Payment::Filled},
  };

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    Files f;
    f.dir = dir / "case";
    f.program = test::makeProgramFolder(dir);
    f.payment = f.dir / "payment.txt";
    f.out = f.dir / "out.txt";
    f.zip = f.dir / "a.zip";
    f.second = dir / "second";
    fs::create_directories(f.dir);
    fs::create_directories(f.second);
    fs::create_directories(f.dir / "locked");
    test::writeFile(f.payment, original);
    test::writeFile(f.second / "payment.txt", original);
    const std::set<std::string> before = [&] {
      auto n = namesIn(f.dir);
      return std::set<std::string>(n.begin(), n.end());
    }();
    if (c.arrange) c.arrange(f);
    const bool zipBefore = fs::exists(f.zip);
    const bool outBefore = fs::exists(f.out);
    if (c.asNobody) {
      chownTree(dir.path(), kNobody);
      fs::permissions(f.dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    }

    const Observed o = runCase(c, f);
    if (f.helper > 0) {
      ::kill(f.helper, SIGKILL);
      ::waitpid(f.helper, nullptr, 0);
    }
    std::error_code ec;
    fs::permissions(f.payment, fs::perms::owner_all, fs::perm_options::add, ec);

    // The command ended with that failure's message and did not report success.
    EXPECT_FALSE(o.firstCompleted);
    EXPECT_NE(o.text.find(c.messageHas), std::string::npos) << o.text;
    if (c.messageHas != "Input File does not exist") {
      EXPECT_EQ(o.kind, "error") << o.text;
    }

    // The payment file is whole: as it was, filled, or completely sealed.
    if (fs::is_regular_file(f.payment)) {
      const std::string& want = c.payment == Payment::Original ? expected.original
                                : c.payment == Payment::Filled ? expected.filled
                                                               : expected.sealed;
      EXPECT_TRUE(test::holds(f.payment, want)) << "the payment file is not whole";
    }
    // An output file that exists holds a computed seal; the archive never changed.
    if (c.newFile) {
      EXPECT_EQ(fs::exists(f.out), c.outputWritten || outBefore);
      if (c.outputWritten) {
        EXPECT_TRUE(verifySeal(f.out.string()).holds);
      }
    }
    if (fs::is_regular_file(f.zip) && !zipBefore)
      ADD_FAILURE() << "an archive was written by a run that failed";
    // Nothing but the files of the case remains: no scratch or temporary file.
    for (const auto& name : o.left)
      EXPECT_TRUE(before.count(name) || name == "a.zip" || name == "payment.txt" ||
                  ((c.outputWritten || outBefore) && name == "out.txt"))
          << "left behind: " << name;

    // The Session completes the next command.
    EXPECT_TRUE(o.secondCompleted) << o.secondText;
  }
}

// Whether every table file of `program` passes SQLite's own check.
bool tablesIntact(const fs::path& program) {
  for (const char* name : {"ReportTable.DAT", "ReportTableDetail.DAT", "addAccBatchError.DAT"}) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open((program / "Data" / name).c_str(), &db) == SQLITE_OK)
      sqlite3_exec(
          db, "PRAGMA integrity_check",
          [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] ? values[0] : "";
            return 0;
          },
          &result, nullptr);
    sqlite3_close(db);
    if (result != "ok") return false;
  }
  return true;
}

// Each file call of a seal failing in turn, sampled, in both modes: the run either completes
// with everything in place or fails without the completion message, the payment file and the
// new file are never partly written, a sealed payment file always has its archive, and a clean
// run afterwards completes and leaves nothing of the failed one behind.
TEST(FaultInjection, EachFileCallOfASealFailingInTurnLeavesAStateToRunAgainFrom) {
  const std::string original = test::cleanPaymentFile(40);
  const Expected expected = expectedFor(original);
  constexpr int kSamplesPerMode = 30;
  for (const bool newFile : {false, true}) {
    SCOPED_TRACE(newFile ? "New File" : "Replace");
    struct Case {
      test::TempDir dir;
      fs::path program, payment, out, zip;
      std::set<std::string> dataBefore;
      explicit Case(const std::string& bytes) {
        program = test::makeProgramFolder(dir);
        payment = dir / "payment.txt";
        out = dir / "out.txt";
        zip = dir / "a.zip";
        test::writeFile(payment, bytes);
        for (const auto& n : namesIn(program / "Data")) dataBefore.insert(n);
      }
    };
    // How many file calls a clean seal makes.
    std::atomic<int> calls{0};
    {
      Case c(original);
      test::WiredSession ws(c.program);
      setFileFaultHook([&](const char*) { return ++calls, 0; });
      ws.runBatch(c.payment.string(), c.zip.string(), newFile ? c.out.string() : "");
      setFileFaultHook(nullptr);
    }
    ASSERT_GT(calls.load(), 10);
    const int step = std::max(1, calls.load() / kSamplesPerMode);
    for (int failing = 1; failing <= calls.load(); failing += step) {
      SCOPED_TRACE("failing call " + std::to_string(failing));
      Case c(original);
      const std::string outArg = newFile ? c.out.string() : "";
      const std::string report = inChild([&] {
        test::WiredSession ws(c.program);
        std::atomic<int> n{0};
        setFileFaultHook([&](const char*) { return ++n == failing ? EIO : 0; });
        std::string text =
            ws.runBatch(c.payment.string(), c.zip.string(), outArg) ? "completed\n" : "failed\n";
        for (const auto& shown : ws.ui.shown) text += shown.kind + ": " + shown.text + "\n";
        return text;
      });
      const bool completed = report.rfind("completed\n", 0) == 0;
      const std::string completion = "Generate hash value and add file to " + c.zip.string();
      const std::string payment = test::readFile(c.payment);
      // No data lost: the payment file and the new file are whole.
      EXPECT_TRUE(payment == expected.original || payment == expected.filled ||
                  payment == expected.sealed)
          << report;
      if (newFile && fs::exists(c.out)) {
        EXPECT_TRUE(test::holds(c.out, expected.sealed)) << report;
      }
      const fs::path& sealed = newFile ? c.out : c.payment;
      if (completed) {
        EXPECT_TRUE(test::holds(sealed, expected.sealed)) << report;
        EXPECT_TRUE(verifySeal(c.zip.string()).holds) << report;
      } else {
        // A failure is never announced as a completion first.
        EXPECT_EQ(report.find(completion), std::string::npos) << report;
        if (!newFile && payment == expected.sealed) {
          EXPECT_TRUE(verifySeal(c.zip.string()).holds) << "sealed without its archive\n" << report;
        }
      }

      // The next clean run completes and leaves nothing of the failed one behind.
      if (payment == expected.sealed && !newFile) test::writeFile(c.payment, original);
      {
        test::WiredSession ws(c.program);
        EXPECT_TRUE(ws.runBatch(c.payment.string(), c.zip.string(), outArg)) << ws.lastMessage();
      }
      std::set<std::string> expectedNames = {"payment.txt", "a.zip", "program"};
      if (newFile) expectedNames.insert("out.txt");
      const auto left = namesIn(c.dir.path());
      EXPECT_EQ(std::set<std::string>(left.begin(), left.end()), expectedNames) << join(left);
      const auto data = namesIn(c.program / "Data");
      EXPECT_EQ(std::set<std::string>(data.begin(), data.end()), c.dataBefore) << join(data);
      EXPECT_TRUE(tablesIntact(c.program));
    }
  }
}

}  // namespace
}  // namespace bs
