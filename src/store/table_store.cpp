#include "store/table_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "core/failure.h"
#include "core/platform_file.h"

namespace bs {

namespace {

// The tables of the store and their files.  The first file is the connection's main database,
// the others are attached under their table names; an unqualified table name in a statement
// finds its table in whichever file holds it.  The main database has to be a real file: only
// then does SQLite commit a transaction that spans several files atomically (through a
// super-journal next to the main file).
struct TableFile {
  const char* table;
  const char* file;
  const char* schema;
};
constexpr std::array<TableFile, 3> kTableFiles{{
    {"ReportTable", "ReportTable.DAT", "main"},
    {"ReportTableDetail", "ReportTableDetail.DAT", "ReportTableDetail"},
    {"addAccBatchError", "addAccBatchError.DAT", "addAccBatchError"},
}};

// A locked file is tried again 15 times, 100 ms apart, before the store gives up.
constexpr int kLockTries = 15;
constexpr auto kLockPause = std::chrono::milliseconds(100);

int retryLockedFile(void*, int callsSoFar) {
  if (callsSoFar >= kLockTries) return 0;
  std::this_thread::sleep_for(kLockPause);
  return 1;
}

std::string quoteIdentifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;
  return std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

std::string quoted(const std::filesystem::path& p) {
  std::string out(1, '"');
  out += p.string();
  out += '"';
  return out;
}

std::string lockMessage(const std::string& what) {
  return what + " is locked by another program: still locked after 15 tries, 100 ms apart.";
}

bool isLockCode(int rc) {
  int primary = rc & 0xff;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool isDamageCode(int rc) {
  int primary = rc & 0xff;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// A column value of the row being appended or edited.
struct Value {
  enum Kind { Null, Text, Integer } kind = Null;
  std::string text;
  long long integer = 0;

  std::string asText() const {
    switch (kind) {
      case Text:
        return text;
      case Integer:
        return std::to_string(integer);
      case Null:
        break;
    }
    return {};
  }
};

// The statement that stores a row of a table in one of the two ways (insert, update), with the
// columns it binds; kept so that rows posted one after another with the same columns run it
// again without building its text.
struct PostStatement {
  std::vector<char> columns;
  sqlite3_stmt* stmt = nullptr;  // owned by the store's statement cache
  std::string sql;
};

// True on the thread that empties tables ahead of the caller: the store is its own there.
thread_local bool onClearingThread = false;

std::string columnText(sqlite3_stmt* stmt, int i) {
  const unsigned char* p = sqlite3_column_text(stmt, i);
  if (!p) return {};
  return std::string(reinterpret_cast<const char*>(p),
                     static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
}

}  // namespace

// What the store object and its table objects share: the connection and its caches.  Table
// objects hold it too, so that a table object that outlives the store fails cleanly.
struct StoreCore {
  std::filesystem::path folder;
  sqlite3* db = nullptr;
  bool alive = true;
  bool inCommand = false;
  bool transactionOpen = false;
  // Grows with every change through the store, so that a table object knows when its copy of
  // the current row is stale.
  std::uint64_t changeStamp = 0;
  std::map<std::string, sqlite3_stmt*, std::less<>> statements;
  std::array<std::vector<std::string>, kTableFiles.size()> columns;
  // Per table: the insert and the update posted last.
  std::array<std::array<PostStatement, 2>, kTableFiles.size()> posts;
  std::function<void()> pendingWrites;

  // Tables being emptied on a helper thread (TableStore::clearAhead); nothing else touches the
  // connection until it has been waited for.
  struct Clearing {
    std::vector<std::size_t> tables;
    std::thread thread;
    bool underSavepoint = false;  // written by the helper, read once it has been joined
    std::exception_ptr failure;
  };
  std::unique_ptr<Clearing> clearing;

  // The writer's function is taken before it runs, so that its own use of the store does not
  // call it again.  Tables emptied ahead get their rows back first, unless the caller kept them.
  void writePending() {
    settleClearing(false);
    if (!pendingWrites) return;
    auto flush = std::move(pendingWrites);
    pendingWrites = nullptr;
    flush();
  }

  ~StoreCore() { disconnect(); }

  // The helper's part: within the command's transaction, under a savepoint, every table named
  // is emptied.  A failure is kept for settleClearing, which then puts the rows back.
  void clearTables(Clearing& c) {
    onClearingThread = true;
    try {
      openTransaction();
      execPlain("SAVEPOINT clear_ahead");
      c.underSavepoint = true;
      for (std::size_t index : c.tables) {
        std::string sql = "DELETE FROM " + qualifiedTable(index);
        run(statement(sql), sql);
      }
    } catch (...) {
      c.failure = std::current_exception();
    }
  }

  // Waits for the tables being emptied ahead; `keep` keeps them empty, else (and after a failure
  // of the helper) their rows come back.  The helper's own calls pass straight through.
  void settleClearing(bool keep) {
    if (onClearingThread || !clearing) return;
    std::unique_ptr<Clearing> c = std::move(clearing);
    c->thread.join();
    // A failure that ended the whole transaction took the savepoint with it.
    if (!c->underSavepoint || !db || sqlite3_get_autocommit(db)) return;
    ++changeStamp;
    if (!keep || c->failure) execPlain("ROLLBACK TO clear_ahead");
    execPlain("RELEASE clear_ahead");
  }

  std::filesystem::path filePath(const TableFile& f) const { return folder / f.file; }
  std::string folderName() const { return "The table files in " + quoted(folder); }

  void disconnect() noexcept {
    try {
      settleClearing(false);
    } catch (const std::exception&) {
      // The transaction below is then committed or rolled back as a whole.
    }
    for (auto& [sql, stmt] : statements) sqlite3_finalize(stmt);
    statements.clear();
    for (auto& table : posts) table.fill(PostStatement{});
    if (db) {
      // A transaction still open here belongs to a command that never ended; keep its work.
      if (!sqlite3_get_autocommit(db)) {
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
          sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      }
      sqlite3_close_v2(db);
      db = nullptr;
    }
    transactionOpen = false;
    for (auto& c : columns) c.clear();
  }

  [[noreturn]] void failFile(const TableFile& f, int rc, const std::string& detail = {}) {
    std::string name = "Table file " + quoted(filePath(f));
    if (isLockCode(rc)) throw Failure(lockMessage(name));
    if (isDamageCode(rc))
      throw Failure(name + " is damaged: " + (detail.empty() ? sqlite3_errstr(rc) : detail) + ".");
    if ((rc & 0xff) == SQLITE_READONLY) throw Failure(name + " is read-only.");
    throw Failure("Cannot open table file " + quoted(filePath(f)) + ": " +
                  (detail.empty() ? sqlite3_errstr(rc) : detail) + ".");
  }

  // A failure of a statement that concerns the store as a whole.
  [[noreturn]] void failStore(int rc, std::string_view sql) {
    if (isLockCode(rc)) throw Failure(lockMessage(lockedName()));
    std::string detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    if (isDamageCode(rc)) throw Failure(folderName() + " are damaged: " + detail + ".");
    if ((rc & 0xff) == SQLITE_READONLY)
      throw Failure(folderName() + " cannot be written: " + detail + ".");
    std::string message = "Table store error in " + quoted(folder) + ": " + detail;
    if (!sql.empty()) message += ", in the statement: " + std::string(sql);
    throw Failure(message);
  }

  // Which file another program holds locked: each file is tried once, without waiting.  Called
  // only when no transaction of ours is open.
  std::string lockedName() {
    if (!db || !sqlite3_get_autocommit(db)) return folderName();
    std::string found;
    sqlite3_busy_handler(db, nullptr, nullptr);
    for (const auto& f : kTableFiles) {
      if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) break;
      std::string probe =
          "DELETE FROM " + quoteIdentifier(f.schema) + "." + quoteIdentifier(f.table) + " WHERE 0";
      int rc = sqlite3_exec(db, probe.c_str(), nullptr, nullptr, nullptr);
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      if (isLockCode(rc)) {
        found = "Table file " + quoted(filePath(f));
        break;
      }
    }
    sqlite3_busy_handler(db, retryLockedFile, nullptr);
    return found.empty() ? folderName() : found;
  }

  void execPlain(const char* sql) {
    int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      noteStatementFailure();
      failStore(rc, sql);
    }
  }

  // A table file that is a symbolic link to a file outside the program folder: the store would
  // write there.
  bool linksOutside(const std::filesystem::path& file) const {
    if (!isSymlink(file.string())) return false;
    std::error_code ec;
    const auto target = std::filesystem::weakly_canonical(file, ec);
    if (ec) return true;
    const auto program = std::filesystem::weakly_canonical(folder.parent_path(), ec);
    if (ec) return true;
    auto [end, at] = std::mismatch(program.begin(), program.end(), target.begin(), target.end());
    return end != program.end();
  }

  // A commit that failed half way may leave its super-journal ("ReportTable.DAT-mj" and nine
  // hexadecimal digits) behind.  Once no table file has a journal that could still refer to it,
  // nothing needs it any more.
  void removeStaleSuperJournals() const {
    const std::string dataFolder = folder.string();
    for (const auto& f : kTableFiles)
      if (fileType(dataFolder + "/" + f.file + "-journal") != FileType::Missing) return;
    const std::string stem = std::string(kTableFiles[0].file) + "-mj";
    removeFilesIn(dataFolder, [&](const std::string& name) {
      if (name.size() != stem.size() + 9 || name.compare(0, stem.size(), stem) != 0) return false;
      return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stem.size()), name.end(),
                         [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
    });
  }

  // Opens the connection and checks every table file, naming the file that fails.
  void connect() {
    if (db) return;
    if (!alive) throw Failure("The table store has been closed.");
    if (folder.empty()) throw Failure("The table store is not connected to a data folder.");
    for (const auto& f : kTableFiles) {
      std::error_code ec;
      auto status = std::filesystem::status(filePath(f), ec);
      if (!std::filesystem::exists(status))
        throw Failure("Cannot open table file " + quoted(filePath(f)) +
                      ": the file does not exist.");
      if (!std::filesystem::is_regular_file(status))
        throw Failure("Cannot open table file " + quoted(filePath(f)) + ": it is not a file.");
      if (linksOutside(filePath(f)))
        throw Failure("Cannot open table file " + quoted(filePath(f)) +
                      ": it is a link to a file outside the program folder.");
      // Every command may write, so a file that cannot be written is refused at once rather
      // than half way through a run.
      if (writeForbidden(filePath(f).string())) failFile(f, SQLITE_READONLY);
    }
    removeStaleSuperJournals();
    try {
      const TableFile& mainFile = kTableFiles[0];
      // Without SQLITE_OPEN_CREATE neither the main file nor an attached one is ever created.
      int rc = sqlite3_open_v2(filePath(mainFile).c_str(), &db,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
      if (rc != SQLITE_OK) failFile(mainFile, rc, db ? sqlite3_errmsg(db) : "");
      sqlite3_extended_result_codes(db, 1);
      sqlite3_busy_handler(db, retryLockedFile, nullptr);
      // Each file is checked as soon as it is part of the connection, so that a fault is
      // laid at the door of the file that has it.
      checkFile(0);
      for (std::size_t i = 1; i < kTableFiles.size(); ++i) {
        const TableFile& f = kTableFiles[i];
        std::string attach = "ATTACH DATABASE ? AS " + quoteIdentifier(f.schema);
        sqlite3_stmt* stmt = nullptr;
        rc = sqlite3_prepare_v2(db, attach.c_str(), -1, &stmt, nullptr);
        if (rc == SQLITE_OK) {
          std::string path = filePath(f).string();
          sqlite3_bind_text(stmt, 1, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
          rc = sqlite3_step(stmt);
          if (rc == SQLITE_DONE) rc = SQLITE_OK;
        }
        std::string detail = sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_OK) failFile(f, rc, detail);
        checkFile(i);
      }
      // A rollback journal (never WAL), so that one transaction spans the three files atomically.
      execPlain("PRAGMA journal_mode=DELETE");
      for (const auto& f : kTableFiles) {
        // Changes are not forced to disk one by one; a command's transaction is synced once,
        // when it is committed.
        std::string sync = "PRAGMA " + quoteIdentifier(f.schema) + ".synchronous=NORMAL";
        execPlain(sync.c_str());
      }
    } catch (...) {
      disconnect();
      throw;
    }
  }

  // The file must be a database that holds its table; its columns are kept for the table
  // objects.
  void checkFile(std::size_t index) {
    const TableFile& f = kTableFiles[index];
    if (sqlite3_db_readonly(db, f.schema) == 1) failFile(f, SQLITE_READONLY);
    std::string sql =
        "PRAGMA " + quoteIdentifier(f.schema) + ".table_info(" + quoteIdentifier(f.table) + ")";
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
    std::vector<std::string> names;
    if (rc == SQLITE_OK) {
      while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) names.push_back(columnText(stmt, 1));
      if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    std::string detail = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) failFile(f, rc, detail);
    if (names.empty())
      throw Failure("Table file " + quoted(filePath(f)) + " is damaged: it holds no table " +
                    f.table + ".");
    columns[index] = std::move(names);
  }

  // Every operation starts here: the connection is opened when first needed, and within a
  // command the command's write transaction is begun at the first use of the store.
  void use() {
    writePending();
    openTransaction();
  }

  // The connection, and within a command its write transaction; what a writer holds stays held.
  void openTransaction() {
    if (!db) connect();
    if (inCommand && !transactionOpen) {
      int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
      if (rc != SQLITE_OK) failStore(rc, {});
      transactionOpen = true;
    }
  }

  // After a failed statement SQLite may have rolled the whole transaction back by itself.
  void noteStatementFailure() {
    if (transactionOpen && db && sqlite3_get_autocommit(db)) transactionOpen = false;
  }

  sqlite3_stmt* statement(std::string_view sql) {
    auto it = statements.find(sql);
    if (it != statements.end()) return it->second;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
    if (rc != SQLITE_OK) failStore(rc, sql);
    statements.emplace(std::string(sql), stmt);
    return stmt;
  }

  // Runs a prepared statement to its end; rows, if any, are skipped.
  void run(sqlite3_stmt* stmt, std::string_view sql) {
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (rc != SQLITE_DONE) {
      noteStatementFailure();
      failStore(rc, sql);
    }
    ++changeStamp;
  }

  void commit() {
    if (!transactionOpen) return;
    transactionOpen = false;
    if (!db || sqlite3_get_autocommit(db)) return;
    int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return;
    // Never leave some files committed and others not: the whole command's work goes.
    std::string detail = sqlite3_errmsg(db);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    ++changeStamp;
    if (isLockCode(rc)) throw Failure(lockMessage(lockedName()));
    throw Failure("Table store error in " + quoted(folder) + ": " + detail + ".");
  }

  std::size_t tableIndex(std::string_view fileName) const {
    for (std::size_t i = 0; i < kTableFiles.size(); ++i)
      if (sameName(fileName, kTableFiles[i].file)) return i;
    throw Failure("Table file " + quoted(folder / std::string(fileName)) +
                  " is not a table of the store.");
  }

  std::string qualifiedTable(std::size_t index) const {
    return quoteIdentifier(kTableFiles[index].schema) + "." +
           quoteIdentifier(kTableFiles[index].table);
  }

  // Column names are unique regardless of case, so the first name that matches is the only one.
  std::size_t columnIndex(std::size_t index, std::string_view name) const {
    const auto& cols = columns[index];
    for (std::size_t i = 0; i < cols.size(); ++i)
      if (sameName(cols[i], name)) return i;
    throw Failure("Table file " + quoted(filePath(kTableFiles[index])) + " has no column \"" +
                  std::string(name) + "\".");
  }

  // The insert of `rows` rows that give the columns at `bound`, in that order.
  std::string insertStatement(std::size_t index, const std::vector<std::size_t>& bound,
                              std::size_t rows = 1) const {
    std::string sql = "INSERT INTO " + qualifiedTable(index);
    if (bound.empty()) return sql + " DEFAULT VALUES";
    std::string names;
    std::string marks;
    for (std::size_t i : bound) {
      names += (names.empty() ? "" : ",") + quoteIdentifier(columns[index][i]);
      marks += marks.empty() ? "?" : ",?";
    }
    sql += "(" + names + ") VALUES(" + marks + ")";
    for (std::size_t r = 1; r < rows; ++r) sql += ",(" + marks + ")";
    return sql;
  }
};

struct TableStore::Impl {
  std::shared_ptr<StoreCore> core = std::make_shared<StoreCore>();
};

TableStore::TableStore() : impl_(std::make_unique<Impl>()) {}

TableStore::~TableStore() {
  try {
    impl_->core->writePending();
  } catch (const std::exception&) {
  }
  impl_->core->disconnect();
  impl_->core->alive = false;
}

void TableStore::close() {
  // What a writer still holds is written before the connection goes; a store that cannot take
  // it any more is being closed anyway.
  try {
    impl_->core->writePending();
  } catch (const std::exception&) {
  }
  impl_->core->disconnect();
  impl_->core->inCommand = false;
}

void TableStore::setDirectory(const std::filesystem::path& dataFolder) {
  if (impl_->core->folder != dataFolder) impl_->core->disconnect();
  impl_->core->folder = dataFolder;
}

const std::filesystem::path& TableStore::directory() const {
  return impl_->core->folder;
}

void TableStore::execSql(std::string_view sql) {
  StoreCore& core = *impl_->core;
  // A zero byte would end the statement text early; no such statement is run.
  if (sql.find('\0') != std::string_view::npos)
    throw Failure("Table store error in " + quoted(core.folder) +
                  ": the statement holds a zero byte.");
  core.use();
  // The frequent statements stay prepared; one-off ones are prepared, run and dropped.
  constexpr std::size_t kKeptStatements = 64;
  sqlite3_stmt* stmt = nullptr;
  bool kept = core.statements.count(sql) > 0;
  if (kept) {
    stmt = core.statements.find(sql)->second;
  } else {
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(core.db, sql.data(), static_cast<int>(sql.size()), &stmt, &tail);
    if (rc != SQLITE_OK) core.failStore(rc, sql);
    // One statement only: whatever follows it must be blank or a closing semicolon.
    std::string_view rest(tail, static_cast<std::size_t>(sql.data() + sql.size() - tail));
    if (rest.find_first_not_of(" \t\r\n;") != std::string_view::npos) {
      sqlite3_finalize(stmt);
      throw Failure("Table store error in " + quoted(core.folder) +
                    ": more than one statement in: " + std::string(sql));
    }
    if (!stmt) return;  // only blanks or a comment
    if (core.statements.size() < kKeptStatements) {
      core.statements.emplace(std::string(sql), stmt);
      kept = true;
    }
  }
  if (kept) {
    core.run(stmt, sql);
    return;
  }
  struct Finalize {
    sqlite3_stmt* s;
    ~Finalize() { sqlite3_finalize(s); }
  } finalize{stmt};
  core.run(stmt, sql);
}

void TableStore::beginCommand() {
  StoreCore& core = *impl_->core;
  core.settleClearing(false);
  // A command that never ended leaves its work committed before the next one starts.
  if (core.transactionOpen || core.pendingWrites) endCommand();
  if (!core.folder.empty()) core.removeStaleSuperJournals();
  core.inCommand = true;
}

void TableStore::endCommand() {
  StoreCore& core = *impl_->core;
  try {
    core.writePending();
  } catch (...) {
    // What was written before stays: the transaction is committed all the same.
    core.inCommand = false;
    try {
      core.commit();
    } catch (const std::exception&) {
    }
    throw;
  }
  core.inCommand = false;
  core.commit();
}

void TableStore::commitCommand() {
  StoreCore& core = *impl_->core;
  core.writePending();
  core.commit();
}

bool TableStore::inCommand() const {
  return impl_->core->inCommand;
}

void TableStore::setPendingWrites(std::function<void()> flush) {
  impl_->core->pendingWrites = std::move(flush);
}

void TableStore::clearAhead(const std::vector<std::string_view>& fileNames) {
  StoreCore& core = *impl_->core;
  core.settleClearing(false);
  if (!core.inCommand || core.folder.empty() || !core.alive) return;
  auto c = std::make_unique<StoreCore::Clearing>();
  for (std::string_view name : fileNames) c->tables.push_back(core.tableIndex(name));
  StoreCore::Clearing& started = *c;
  core.clearing = std::move(c);
  try {
    core.clearing->thread = std::thread([&core, &started] { core.clearTables(started); });
  } catch (const std::system_error&) {
    core.clearing.reset();  // no thread to spare: the caller empties the tables itself
  }
}

void TableStore::keepCleared() {
  impl_->core->settleClearing(true);
}

// ---------------------------------------------------------------------------------------------

struct TableStore::Table::Impl {
  std::shared_ptr<StoreCore> core;
  std::size_t index = 0;
  bool exclusive = false;
  enum Mode { Browse, Appending, Editing } mode = Browse;
  // The current row: its rowid once it is known, and its values.
  std::optional<sqlite3_int64> rowid;
  std::vector<Value> values;
  // Per column: set in this row (bytes rather than bits, so that two sets compare at once).
  std::vector<char> changed;
  // In browse mode the values are a copy taken at this change stamp.
  std::optional<std::uint64_t> loadedAt;
  // Where the next column name is looked for first: rows are mostly set column after column.
  mutable std::size_t columnHint = 0;

  const std::vector<std::string>& columns() const { return core->columns[index]; }
  std::filesystem::path path() const { return core->filePath(kTableFiles[index]); }
  std::string fileName() const { return "Table file " + quoted(path()); }

  std::size_t column(std::string_view name) const {
    const auto& cols = columns();
    std::size_t found = columnHint;
    if (found >= cols.size() || !sameName(cols[found], name))
      found = core->columnIndex(index, name);
    columnHint = found + 1;
    return found;
  }

  void use() {
    core->use();
    if (values.size() != columns().size()) {
      values.assign(columns().size(), Value{});
      changed.assign(columns().size(), false);
    }
  }

  // Loads a row (rowid first, then every column) from `sql`; false when there is none.
  bool loadRow(const std::string& sql, std::optional<sqlite3_int64> bindRowid) {
    sqlite3_stmt* stmt = core->statement(sql);
    if (bindRowid) sqlite3_bind_int64(stmt, 1, *bindRowid);
    int rc = sqlite3_step(stmt);
    bool found = rc == SQLITE_ROW;
    if (found) {
      rowid = sqlite3_column_int64(stmt, 0);
      for (std::size_t i = 0; i < values.size(); ++i) {
        int col = static_cast<int>(i) + 1;
        Value v;
        switch (sqlite3_column_type(stmt, col)) {
          case SQLITE_NULL:
            break;
          case SQLITE_INTEGER:
            v.kind = Value::Integer;
            v.integer = sqlite3_column_int64(stmt, col);
            break;
          default:
            v.kind = Value::Text;
            v.text = columnText(stmt, col);
        }
        values[i] = std::move(v);
      }
      rc = sqlite3_step(stmt);
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (rc != SQLITE_DONE) {
      core->noteStatementFailure();
      core->failStore(rc, sql);
    }
    return found;
  }

  std::string selectAll() const { return "SELECT rowid, * FROM " + core->qualifiedTable(index); }

  bool loadLastRow() { return loadRow(selectAll() + " ORDER BY rowid DESC LIMIT 1", {}); }

  // The texts keep their buffers for the next row.
  void clearValues() {
    for (auto& v : values) {
      v.kind = Value::Null;
      v.text.clear();
      v.integer = 0;
    }
    changed.assign(values.size(), false);
  }

  // The statement that stores the current row with the columns set in it; none for an edit
  // that changed nothing.
  const PostStatement& postStatement() {
    PostStatement& post = core->posts[index][mode == Appending ? 0 : 1];
    if (post.stmt && post.columns == changed) return post;
    const auto& cols = columns();
    std::string sql;
    std::vector<std::size_t> bound;
    for (std::size_t i = 0; i < cols.size(); ++i)
      if (changed[i]) bound.push_back(i);
    if (mode == Appending) {
      sql = core->insertStatement(index, bound);
    } else if (!bound.empty()) {
      sql = "UPDATE " + core->qualifiedTable(index) + " SET ";
      for (std::size_t k = 0; k < bound.size(); ++k)
        sql += (k ? "," : "") + quoteIdentifier(cols[bound[k]]) + "=?";
      sql += " WHERE rowid=?";
    }
    sqlite3_stmt* stmt = sql.empty() ? nullptr : core->statement(sql);
    post.columns = changed;
    post.stmt = stmt;
    post.sql = std::move(sql);
    return post;
  }

  void requireRowMode(const char* what) const {
    if (mode == Browse)
      throw Failure(fileName() + ": " + what + " needs a row that is appended or edited.");
  }
};

TableStore::Table::Table(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TableStore::Table::~Table() = default;
TableStore::Table::Table(Table&&) noexcept = default;
TableStore::Table& TableStore::Table::operator=(Table&&) noexcept = default;

TableStore::Table TableStore::openTable(std::string_view fileName) {
  auto impl = std::make_unique<Table::Impl>();
  impl->core = impl_->core;
  impl->index = impl_->core->tableIndex(fileName);
  impl->core->writePending();
  impl->core->connect();
  return Table(std::move(impl));
}

// Within a command the store already holds the files for writing; other programs see the
// table either before or after the command, never in between, so exclusive use needs no lock
// of its own.
void TableStore::Table::setExclusive(bool on) {
  impl_->exclusive = on;
}

void TableStore::Table::emptyTable() {
  Impl& t = *impl_;
  if (!t.exclusive) throw Failure(t.fileName() + " must be opened exclusively to be emptied.");
  t.use();
  std::string sql = "DELETE FROM " + t.core->qualifiedTable(t.index);
  t.core->run(t.core->statement(sql), sql);
  t.mode = Impl::Browse;
  t.rowid.reset();
  t.loadedAt.reset();
  t.clearValues();
}

void TableStore::Table::append() {
  Impl& t = *impl_;
  t.use();
  t.mode = Impl::Appending;
  t.rowid.reset();
  t.loadedAt.reset();
  t.clearValues();
}

void TableStore::Table::edit() {
  Impl& t = *impl_;
  t.use();
  t.loadedAt.reset();
  t.changed.assign(t.values.size(), false);
  if (t.loadLastRow()) {
    t.mode = Impl::Editing;
  } else {
    // An empty table has no row to change: the edit starts a new one.
    t.mode = Impl::Appending;
    t.rowid.reset();
    t.clearValues();
  }
}

void TableStore::Table::setText(std::string_view column, std::string_view value) {
  Impl& t = *impl_;
  t.use();
  t.requireRowMode("setting a field");
  std::size_t i = t.column(column);
  Value& v = t.values[i];
  v.kind = Value::Text;
  v.text.assign(value);
  v.integer = 0;
  t.changed[i] = true;
}

void TableStore::Table::setInteger(std::string_view column, long long value) {
  Impl& t = *impl_;
  t.use();
  t.requireRowMode("setting a field");
  std::size_t i = t.column(column);
  Value& v = t.values[i];
  v.kind = Value::Integer;
  v.text.clear();
  v.integer = value;
  t.changed[i] = true;
}

std::string TableStore::Table::text(std::string_view column) const {
  Impl& t = *impl_;
  t.use();
  std::size_t i = t.column(column);
  if (t.mode == Impl::Browse && t.loadedAt != t.core->changeStamp) {
    // The row posted last, else the first row of the table.
    bool found = false;
    if (t.rowid) found = t.loadRow(t.selectAll() + " WHERE rowid = ?", t.rowid);
    if (!found) found = t.loadRow(t.selectAll() + " ORDER BY rowid LIMIT 1", {});
    if (!found) {
      t.rowid.reset();
      t.clearValues();
    }
    t.loadedAt = t.core->changeStamp;
  }
  return t.values[i].asText();
}

void TableStore::Table::post() {
  Impl& t = *impl_;
  if (t.mode == Impl::Browse) return;
  t.use();
  const bool appending = t.mode == Impl::Appending;
  const PostStatement& post = t.postStatement();
  if (post.stmt) {
    sqlite3_stmt* stmt = post.stmt;
    int n = 1;
    for (std::size_t i = 0; i < t.values.size(); ++i) {
      if (!t.changed[i]) continue;
      const Value& v = t.values[i];
      if (v.kind == Value::Integer)
        sqlite3_bind_int64(stmt, n, v.integer);
      else if (v.kind == Value::Text)
        sqlite3_bind_text(stmt, n, v.text.data(), static_cast<int>(v.text.size()), SQLITE_STATIC);
      else
        sqlite3_bind_null(stmt, n);
      ++n;
    }
    if (!appending) sqlite3_bind_int64(stmt, n, *t.rowid);
    t.core->run(stmt, post.sql);
    if (appending) t.rowid = sqlite3_last_insert_rowid(t.core->db);
  }
  t.mode = Impl::Browse;
  t.changed.assign(t.values.size(), false);
  // The values are the stored row's, apart from the column types the store converts to.
  t.loadedAt.reset();
}

// As many rows as this go to one statement: the statement's own cost, which is most of the cost
// of a row of short texts, is then shared.
constexpr std::size_t kRowsPerStatement = 32;

struct TableStore::RowAppender::Impl {
  std::shared_ptr<StoreCore> core;
  std::size_t columns = 0;
  std::string oneRow;    // the statement for one row, also the one named in messages
  std::string manyRows;  // the statement for kRowsPerStatement rows
  // The values of the rows held, row after row; texts as their place in `texts`.
  struct Value {
    bool isText = false;
    long long integer = 0;
    std::size_t at = 0, size = 0;
  };
  std::vector<Value> values;
  std::string texts;
  std::size_t rows = 0;

  void bindRow(sqlite3_stmt* stmt, std::size_t row, int firstParameter) const {
    for (std::size_t c = 0; c < columns; ++c) {
      const Value& v = values[row * columns + c];
      const int n = firstParameter + static_cast<int>(c);
      if (v.isText)
        sqlite3_bind_text(stmt, n, texts.data() + v.at, static_cast<int>(v.size), SQLITE_STATIC);
      else
        sqlite3_bind_int64(stmt, n, v.integer);
    }
  }

  void storeHeld() {
    if (rows == 0) return;
    // Rows that could not be stored are not tried again.
    struct Forget {
      Impl& a;
      ~Forget() {
        a.values.clear();
        a.texts.clear();
        a.rows = 0;
      }
    } forget{*this};
    core->use();
    if (rows == kRowsPerStatement) {
      sqlite3_stmt* stmt = core->statement(manyRows);
      for (std::size_t r = 0; r < rows; ++r) bindRow(stmt, r, static_cast<int>(r * columns) + 1);
      core->run(stmt, oneRow);
    } else {
      sqlite3_stmt* stmt = core->statement(oneRow);
      for (std::size_t r = 0; r < rows; ++r) {
        bindRow(stmt, r, 1);
        core->run(stmt, oneRow);
      }
    }
  }
};

TableStore::RowAppender::RowAppender(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TableStore::RowAppender::~RowAppender() = default;
TableStore::RowAppender::RowAppender(RowAppender&&) noexcept = default;
TableStore::RowAppender& TableStore::RowAppender::operator=(RowAppender&&) noexcept = default;

void TableStore::RowAppender::integer(long long value) {
  impl_->values.push_back({false, value, 0, 0});
}

void TableStore::RowAppender::text(std::string_view value) {
  Impl& a = *impl_;
  a.values.push_back({true, 0, a.texts.size(), value.size()});
  a.texts.append(value);
}

void TableStore::RowAppender::endRow() {
  Impl& a = *impl_;
  if (a.values.size() != (a.rows + 1) * a.columns)
    throw Failure("A row for the statement " + a.oneRow + " does not give one value per column.");
  if (++a.rows == kRowsPerStatement) a.storeHeld();
}

void TableStore::RowAppender::finish() {
  impl_->storeHeld();
}

TableStore::RowAppender TableStore::appendRows(std::string_view fileName,
                                               const std::vector<std::string_view>& columns) {
  auto impl = std::make_unique<RowAppender::Impl>();
  StoreCore& core = *impl_->core;
  impl->core = impl_->core;
  const std::size_t index = core.tableIndex(fileName);
  core.writePending();
  core.connect();
  std::vector<std::size_t> bound;
  for (std::string_view name : columns) bound.push_back(core.columnIndex(index, name));
  impl->columns = columns.size();
  impl->oneRow = core.insertStatement(index, bound);
  impl->manyRows = core.insertStatement(index, bound, kRowsPerStatement);
  impl->values.reserve(kRowsPerStatement * columns.size());
  return RowAppender(std::move(impl));
}

TableStore::Rows TableStore::readAll(std::string_view fileName) {
  StoreCore& core = *impl_->core;
  std::size_t index = core.tableIndex(fileName);
  core.use();
  Rows rows;
  rows.columns = core.columns[index];
  std::string sql = "SELECT * FROM " + core.qualifiedTable(index) + " ORDER BY rowid";
  sqlite3_stmt* stmt = core.statement(sql);
  int rc;
  int n = static_cast<int>(rows.columns.size());
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    std::vector<std::string> row;
    row.reserve(rows.columns.size());
    for (int i = 0; i < n; ++i) row.push_back(columnText(stmt, i));
    rows.rows.push_back(std::move(row));
  }
  sqlite3_reset(stmt);
  if (rc != SQLITE_DONE) {
    core.noteStatementFailure();
    core.failStore(rc, sql);
  }
  return rows;
}

std::vector<std::string> TableStore::columnNames(std::string_view fileName) {
  StoreCore& core = *impl_->core;
  core.settleClearing(false);
  return core.columns[core.tableIndex(fileName)];
}

std::uint64_t TableStore::rowCount(std::string_view fileName) {
  StoreCore& core = *impl_->core;
  std::size_t index = core.tableIndex(fileName);
  core.use();
  std::string sql = "SELECT count(*) FROM " + core.qualifiedTable(index);
  sqlite3_stmt* stmt = core.statement(sql);
  int rc = sqlite3_step(stmt);
  std::uint64_t count =
      rc == SQLITE_ROW ? static_cast<std::uint64_t>(sqlite3_column_int64(stmt, 0)) : 0;
  sqlite3_reset(stmt);
  if (rc != SQLITE_ROW) {
    core.noteStatementFailure();
    core.failStore(rc, sql);
  }
  return count;
}

void TableStore::forEachRow(std::string_view fileName, long long afterRowid, std::size_t limit,
                            const RowVisitor& visit) {
  StoreCore& core = *impl_->core;
  std::size_t index = core.tableIndex(fileName);
  core.use();
  std::string sql =
      "SELECT rowid, * FROM " + core.qualifiedTable(index) + " WHERE rowid > ? ORDER BY rowid";
  if (limit > 0) sql += " LIMIT ?";
  sqlite3_stmt* stmt = core.statement(sql);
  sqlite3_bind_int64(stmt, 1, afterRowid);
  if (limit > 0) sqlite3_bind_int64(stmt, 2, static_cast<sqlite3_int64>(limit));
  // The statement is reset however the visit ends, so that it can run again.
  struct Reset {
    sqlite3_stmt* stmt;
    ~Reset() {
      sqlite3_reset(stmt);
      sqlite3_clear_bindings(stmt);
    }
  } reset{stmt};
  int n = static_cast<int>(core.columns[index].size());
  std::vector<std::string> row(static_cast<std::size_t>(n));
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    for (int i = 0; i < n; ++i) row[static_cast<std::size_t>(i)] = columnText(stmt, i + 1);
    visit(sqlite3_column_int64(stmt, 0), row);
  }
  if (rc != SQLITE_DONE) {
    core.noteStatementFailure();
    core.failStore(rc, sql);
  }
}

}  // namespace bs
