#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <chrono>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "core/scripted_ui.h"
#include "core/session.h"
#include "store/sqlite_credit_context.h"
#include "store/store_session.h"
#include "store_fixture.h"

namespace bs::test {
namespace {

constexpr const char* kInsertPayroll =
    "Insert into ReportTable(Product,Value_Date,No_Of_Credit,Amount,dabit_Acc) "
    "Values('Payroll','31/01/2024',1,1.00,'1')";

// A session wired with the table store on the test's program folder.
class CommandTest : public StoreTest {
 protected:
  ScriptedUi ui;
  Session session{ui, ProgramPaths{program}, Clock::fixed("20240131")};

  CommandTest() {
    installTableStore(session);
    FormCreate(session);
    store = session.store;
  }

  std::vector<std::string> errors() const {
    std::vector<std::string> out;
    for (const auto& s : ui.shown)
      if (s.kind == "error") out.push_back(s.text);
    return out;
  }
};

TEST_F(CommandTest, WorkBeforeAFailureIsCommittedWhenTheCommandEnds) {
  bool ok = !!runCommand(session, [](Session& s) {
    s.store->execSql(kInsertPayroll);
    s.creditContext->reset("1111111111");
    s.creditContext->writeNames("Somchai", "\xca\xc1\xaa\xd2\xc2");
    s.creditContext->reset("2222222222");
    throw Failure("'E000' is not a valid floating point value");
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(errors(), (std::vector<std::string>{"'E000' is not a valid floating point value"}));
  // A second connection sees what the rules wrote: the row of the last credit, no names.
  TableStore other;
  other.setDirectory(data);
  EXPECT_EQ(other.readAll("ReportTable.DAT").rows.size(), 1u);
  auto context = other.readAll("addAccBatchError.DAT").rows;
  ASSERT_EQ(context.size(), 1u);
  EXPECT_EQ(context[0], (std::vector<std::string>{"2222222222", "", ""}));
}

TEST_F(CommandTest, CreditContextInTheTableAfterEveryCommandIsWhatTheRulesWrote) {
  struct Step {
    const char* name;
    void (*command)(Session&);
    std::vector<std::string> row;  // ACCOUNT, BENE_NAME_EN, BENE_NAME_TH
  };
  const std::vector<Step> steps = {
      {"two credits, names of the second",
       [](Session& s) {
         s.creditContext->reset("A1");
         s.creditContext->writeNames("En1", "Th1");
         s.creditContext->reset("A2");
         s.creditContext->writeNames("En2", "Th2");
       },
       {"A2", "En2", "Th2"}},
      {"names only: the row of the last run gets them",
       [](Session& s) { s.creditContext->writeNames("Late", "Th"); },
       {"A2", "Late", "Th"}},
      {"a credit without payee",
       [](Session& s) {
         s.creditContext->reset("A3");
         if (s.creditContext->read().beneNameEn != "") throw Failure("names survived a reset");
       },
       {"A3", "", ""}},
      {"a payee seen in between by another store user",
       [](Session& s) {
         s.creditContext->reset("A4");
         s.creditContext->writeNames("Mid", "Th");
         auto seen = s.store->readAll("addAccBatchError.DAT").rows;
         if (seen.size() != 1 || seen[0][1] != "Mid") throw Failure("row not written in time");
         s.creditContext->reset("A5");
       },
       {"A5", "", ""}},
      {"a command that does not touch the store", [](Session&) {}, {"A5", "", ""}},
  };
  for (const auto& step : steps) {
    EXPECT_TRUE(runCommand(session, step.command)) << step.name;
    TableStore other;
    other.setDirectory(data);
    auto rows = other.readAll("addAccBatchError.DAT").rows;
    ASSERT_EQ(rows.size(), 1u) << step.name;
    EXPECT_EQ(rows[0], step.row) << step.name;
    EXPECT_EQ(session.creditContext->read().account, step.row[0]) << step.name;
  }
  EXPECT_TRUE(errors().empty());
}

// Tables emptied ahead stay empty only when kept; any other use of the store first puts their
// rows back, and what the command writes after that stays, also when it fails.
TEST_F(CommandTest, TablesEmptiedAheadComeBackUnlessKept) {
  static bool keep, fail;
  for (const bool k : {true, false}) {
    for (const bool f : {false, true}) {
      keep = k;
      fail = f;
      store->execSql("Delete From ReportTable");
      store->execSql(kInsertPayroll);
      runCommand(session, [](Session& s) {
        s.store->clearAhead({"ReportTable.DAT", "ReportTableDetail.DAT"});
        if (keep) s.store->keepCleared();
        s.creditContext->reset("3333333333");
        s.creditContext->read();
        if (fail) throw Failure("stopped");
      });
      TableStore other;
      other.setDirectory(data);
      EXPECT_EQ(other.readAll("ReportTable.DAT").rows.size(), keep ? 0u : 1u) << keep << fail;
      EXPECT_EQ(other.readAll("addAccBatchError.DAT").rows.at(0).at(0), "3333333333");
    }
  }
}

TEST_F(CommandTest, AMissingTableFileEndsTheCommandAtItsFirstUse) {
  std::filesystem::remove(data / "addAccBatchError.DAT");
  static int creditsSeen;
  creditsSeen = 0;
  EXPECT_FALSE(runCommand(session, [](Session& s) {
    for (int i = 0; i < 3; ++i) {
      s.creditContext->reset("A");
      ++creditsSeen;
    }
  }));
  EXPECT_EQ(creditsSeen, 0);
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_CONTAINS(errors()[0], (data / "addAccBatchError.DAT").string());
  // Commands that leave the store alone still run.
  EXPECT_TRUE(runCommand(session, [](Session&) {}));
}

// --- another program sharing the data folder -------------------------------------------------

// A child process that holds a lock on `file` for `holdMs` and then lets go.  `write` takes
// the write lock (BEGIN IMMEDIATE); otherwise it holds a read lock.  The constructor returns
// once the lock is held.
class LockHolder {
 public:
  LockHolder(const std::filesystem::path& file, const char* table, bool write, int holdMs) {
    int ready[2];
    if (::pipe(ready) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      sqlite3* db = nullptr;
      bool ok = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
      std::string lock =
          write ? std::string("BEGIN IMMEDIATE; INSERT INTO ") + table + " DEFAULT VALUES"
                : std::string("BEGIN; SELECT count(*) FROM ") + table;
      ok = ok && sqlite3_exec(db, lock.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
      char c = ok ? '1' : '0';
      if (::write(ready[1], &c, 1) != 1) ok = false;
      ::usleep(static_cast<useconds_t>(holdMs) * 1000);
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(db);
      ::_exit(ok ? 0 : 1);
    }
    ::close(ready[1]);
    char c = '0';
    bool got = ::read(ready[0], &c, 1) == 1;
    ::close(ready[0]);
    if (!got || c != '1') throw std::runtime_error("the lock holder could not take its lock");
  }
  ~LockHolder() { wait(); }
  int wait() {
    if (pid_ <= 0) return status_;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

TEST_F(CommandTest, AShortLockIsWaitedFor) {
  auto start = std::chrono::steady_clock::now();
  {
    LockHolder holder(data / "addAccBatchError.DAT", "addAccBatchError", true, 500);
    EXPECT_TRUE(runCommand(session, [](Session& s) {
      s.store->execSql(kInsertPayroll);
      s.creditContext->reset("0123456789");
    }));
    EXPECT_EQ(holder.wait(), 0);
  }
  // The command could only go on once the other program let go.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450));
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(rows("addAccBatchError.DAT"), (std::vector<std::string>{"0123456789||"}));
  EXPECT_EQ(rows("ReportTable.DAT").size(), 1u);
}

TEST_F(CommandTest, AWriteLockHeldTooLongEndsTheCommandWithTheLockMessage) {
  {
    LockHolder holder(data / "addAccBatchError.DAT", "addAccBatchError", true, 3000);
    EXPECT_FALSE(runCommand(session, [](Session& s) {
      s.store->execSql(kInsertPayroll);
      s.creditContext->reset("0123456789");
    }));
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0], "Table file \"" + (data / "addAccBatchError.DAT").string() +
                               "\" is locked by another program: still locked after 15 tries, "
                               "100 ms apart.");
    EXPECT_EQ(holder.wait(), 0);
  }
  EXPECT_TRUE(rows("ReportTable.DAT").empty());
  EXPECT_TRUE(rows("addAccBatchError.DAT").empty());
}

TEST_F(CommandTest, AReaderThatKeepsTheCommitWaitingLeavesNoFileHalfWritten) {
  {
    // The reader of the detail table lets the command write but not commit.
    LockHolder holder(data / "ReportTableDetail.DAT", "ReportTableDetail", false, 3000);
    EXPECT_FALSE(runCommand(session, [](Session& s) {
      s.store->execSql(kInsertPayroll);
      auto detail = s.store->openTable("ReportTableDetail.DAT");
      detail.append();
      detail.setInteger("No", 1);
      detail.post();
      s.creditContext->reset("0123456789");
    }));
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_CONTAINS(errors()[0], "is locked by another program");
    EXPECT_EQ(holder.wait(), 0);
  }
  EXPECT_TRUE(rows("ReportTable.DAT").empty());
  EXPECT_TRUE(rows("ReportTableDetail.DAT").empty());
  EXPECT_TRUE(rows("addAccBatchError.DAT").empty());
  // The store is usable again.
  EXPECT_TRUE(runCommand(session, [](Session& s) { s.store->execSql(kInsertPayroll); }));
  EXPECT_EQ(rows("ReportTable.DAT").size(), 1u);
}

}  // namespace
}  // namespace bs::test

namespace bs::test {
namespace {

TEST_F(StoreTest, OutsideACommandTheCreditContextWritesThrough) {
  SqliteCreditContext context(store);
  TableStore other;
  other.setDirectory(data);
  context.reset("  kept as given  ");
  EXPECT_EQ(other.readAll("addAccBatchError.DAT").rows.at(0),
            (std::vector<std::string>{"  kept as given  ", "", ""}));
  context.writeNames("O'Neil", "\xca\xc1");
  EXPECT_EQ(other.readAll("addAccBatchError.DAT").rows.at(0),
            (std::vector<std::string>{"  kept as given  ", "O'Neil", "\xca\xc1"}));
  CreditContext row = context.read();
  EXPECT_EQ(row.beneNameEn, "O'Neil");
}

}  // namespace
}  // namespace bs::test
