#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bs {

class TableStore;

inline constexpr std::string_view kReportTableFile = "ReportTable.DAT";
inline constexpr std::string_view kReportTableDetailFile = "ReportTableDetail.DAT";

// One row of ReportTableDetail: one credit of the last successful payment batch.  Texts are the
// bytes of the payment file.
struct DetailRow {
  long long No = 0;
  std::string Product;
  std::string NameEng;
  std::string CreditAmount;  // the column "Credit Amount"
  std::string CreditAccount;
  std::string TotalInvoidAmount;
  std::string TotalWHTAmount;
  std::string DeliveryMode;
  std::string PickupLocation;
  std::string VATAmount;
  std::string Customer_Ref;
  std::string dabit_Acc;
};

// Every row of a table in stored order, with its column names.
struct TableRows {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

// What the summary, the report-table step and the reports need of the two report tables.  The
// table store implements it; tests put a recorder in its place.
class ReportTables {
 public:
  virtual ~ReportTables() = default;
  // Closes the table, opens it exclusively, empties it, releases it and opens it for appending.
  virtual void emptyTable(std::string_view fileName) = 0;
  // Appends one row of ReportTableDetail.  The rows may be held back and stored many at a time;
  // endDetailRows() stores those still held.
  virtual void appendDetailRow(const DetailRow& row) = 0;
  virtual void endDetailRows() {}
  // One SQL statement without result rows.
  virtual void execSql(std::string_view sql) = 0;
  // Opens a table and closes it again: a table that cannot be opened ends the command here.
  virtual void openTable(std::string_view fileName) = 0;
  // Every row of a table, from the first to the last in stored order.
  virtual TableRows readAll(std::string_view fileName) = 0;

  // Reading a table a few rows at a time.  A row is known by a key that grows in stored order;
  // `forEachRow` visits the rows whose key is above `afterKey`, at most `limit` of them (0: all).
  // These defaults read the whole table; the table store streams.
  using RowVisitor = std::function<void(long long key, const std::vector<std::string>& row)>;
  virtual std::vector<std::string> columnNames(std::string_view fileName) {
    return readAll(fileName).columns;
  }
  virtual std::uint64_t rowCount(std::string_view fileName) {
    return readAll(fileName).rows.size();
  }
  virtual void forEachRow(std::string_view fileName, long long afterKey, std::size_t limit,
                          const RowVisitor& visit) {
    TableRows all = readAll(fileName);
    std::size_t done = 0;
    for (std::size_t i = 0; i < all.rows.size() && (limit == 0 || done < limit); ++i) {
      auto key = static_cast<long long>(i) + 1;
      if (key <= afterKey) continue;
      visit(key, all.rows[i]);
      ++done;
    }
  }
};

// The report tables of the table store.  Throws Failure when no store is connected.
std::unique_ptr<ReportTables> storeReportTables(std::shared_ptr<TableStore> store);

// A text as an SQL or report string literal: between single quotes, inner quotes doubled.
std::string sqlQuoted(std::string_view text);

}  // namespace bs
