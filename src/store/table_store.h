#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bs {

// The local table store: one SQLite database file per table in the data folder
// (Data/ReportTable.DAT, Data/ReportTableDetail.DAT, Data/addAccBatchError.DAT), attached to one
// connection (alias "DB") so that the statements name the tables as they stand.  The table files
// come with the installation; the store never creates them.  Every error is a Failure whose
// message names the file.  A locked file is retried 15 times, 100 ms apart, before the store
// reports a lock error.  Texts are stored as the bytes they are (Windows-874).
class TableStore {
 public:
  TableStore();
  ~TableStore();
  TableStore(const TableStore&) = delete;
  TableStore& operator=(const TableStore&) = delete;

  // Closes the connection (at start-up the window disconnects the store before pointing it).
  void close();
  // Points the store at the data folder; the files are opened when first used.
  void setDirectory(const std::filesystem::path& dataFolder);
  const std::filesystem::path& directory() const;

  // Runs one SQL statement that returns no rows.
  void execSql(std::string_view sql);

  // One write transaction per command: begun when a command starts, committed when it ends
  // (also after a failure, so that rows written before it stay).
  void beginCommand();
  void endCommand();
  // Commits what the command wrote so far and stays in the command; later writes start a new
  // transaction.  The seal commits here before its files become visible, so that a store that
  // cannot commit ends the command before the payment file is replaced.  A failed commit takes
  // back the whole transaction and throws Failure.
  void commitCommand();
  // True between beginCommand() and endCommand().
  bool inCommand() const;

  // A writer that keeps a row in memory during a command (the current-credit row of a
  // validation pass) hands the store the function that writes it.  The store calls it, once,
  // before any other use of the store, before it commits the command and before it closes;
  // the writer hands it again when it keeps a row anew.  An empty function withdraws it.
  void setPendingWrites(std::function<void()> flush);

  // Empties tables on a helper thread while the caller goes on without the store: a batch run
  // empties the report tables before it fills them, and this way it does not wait for that
  // after the validation.  Within a command only.  keepCleared() waits for the helper and keeps
  // the tables empty; any other use of the store first waits for it and puts their rows back, as
  // does a failure of the helper (the emptying the caller then does itself reports it).
  void clearAhead(const std::vector<std::string_view>& fileNames);
  void keepCleared();

  // A table object, opened by file name ("ReportTable.DAT").
  class Table {
   public:
    ~Table();
    Table(Table&&) noexcept;
    Table& operator=(Table&&) noexcept;

    // Exclusive use; emptyTable is allowed only while it is held.
    void setExclusive(bool on);
    void emptyTable();
    // A new current row, stored by post().
    void append();
    // The current row (the last row of the table) for changes, stored by post().
    void edit();
    void setText(std::string_view column, std::string_view value);
    void setInteger(std::string_view column, long long value);
    // The current row's column as text.
    std::string text(std::string_view column) const;
    void post();

   private:
    friend class TableStore;
    struct Impl;
    explicit Table(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
  };
  Table openTable(std::string_view fileName);

  // Many whole rows for one table, many rows to a statement: for filling a table at once.  Each
  // row gives the columns named when the appender was made, in that order.  Rows are held until
  // a statement's worth is there, the rest until finish(); rows still held when the appender is
  // dropped are not stored.
  class RowAppender {
   public:
    ~RowAppender();
    RowAppender(RowAppender&&) noexcept;
    RowAppender& operator=(RowAppender&&) noexcept;

    void integer(long long value);
    void text(std::string_view value);
    // Ends the row whose values were given since the last one.
    void endRow();
    // Stores the rows still held.
    void finish();

   private:
    friend class TableStore;
    struct Impl;
    explicit RowAppender(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
  };
  RowAppender appendRows(std::string_view fileName, const std::vector<std::string_view>& columns);

  // Every row of a table in stored order, for the report engine: the column names and, per row,
  // the texts of those columns (numbers written as the store holds them).
  struct Rows {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
  };
  Rows readAll(std::string_view fileName);
  // The column names of a table, in the order `forEachRow` gives a row's texts.
  std::vector<std::string> columnNames(std::string_view fileName);
  std::uint64_t rowCount(std::string_view fileName);
  // The rows after the row `afterRowid` in stored order, at most `limit` of them (0: all), one
  // at a time: a report pages through a large table without holding it.
  using RowVisitor = std::function<void(long long rowid, const std::vector<std::string>& row)>;
  void forEachRow(std::string_view fileName, long long afterRowid, std::size_t limit,
                  const RowVisitor& visit);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace bs
