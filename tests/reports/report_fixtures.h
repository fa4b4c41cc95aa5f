#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

#include "core/failure.h"
#include "reports/report_tables.h"
#include "support/test_support.h"

namespace bs::reptest {

using test::LineBuilder;

// The report tables in memory: ReportTable is a real SQLite table, so that the statements run
// as the store runs them; detail rows are recorded as they are appended.
class FakeReportTables : public ReportTables {
 public:
  FakeReportTables() {
    sqlite3_open(":memory:", &db_);
    exec(
        "CREATE TABLE ReportTable(Product TEXT, Value_Date TEXT, No_Of_Credit INTEGER, "
        "Amount NUMERIC, dabit_Acc TEXT)");
  }
  ~FakeReportTables() override { sqlite3_close(db_); }

  void emptyTable(std::string_view fileName) override {
    emptied.emplace_back(fileName);
    if (fileName == kReportTableFile) exec("DELETE FROM ReportTable");
    if (fileName == kReportTableDetailFile) detail.clear();
  }
  void appendDetailRow(const DetailRow& row) override { detail.push_back(row); }
  void execSql(std::string_view sql) override {
    statements.emplace_back(sql);
    exec(std::string(sql));
  }
  void openTable(std::string_view fileName) override {
    if (failOpen) throw Failure("Cannot open table " + std::string(fileName));
  }
  TableRows readAll(std::string_view fileName) override {
    TableRows out;
    if (fileName == kReportTableDetailFile) {
      out.columns = {"No",
                     "Product",
                     "NameEng",
                     "Credit Amount",
                     "CreditAccount",
                     "TotalInvoidAmount",
                     "TotalWHTAmount",
                     "DeliveryMode",
                     "PickupLocation",
                     "VATAmount",
                     "Customer_Ref",
                     "dabit_Acc"};
      for (const DetailRow& r : detail)
        out.rows.push_back({std::to_string(r.No), r.Product, r.NameEng, r.CreditAmount,
                            r.CreditAccount, r.TotalInvoidAmount, r.TotalWHTAmount, r.DeliveryMode,
                            r.PickupLocation, r.VATAmount, r.Customer_Ref, r.dabit_Acc});
      return out;
    }
    out.columns = {"Product", "Value_Date", "No_Of_Credit", "Amount", "dabit_Acc"};
    out.rows = query(
        "SELECT Product, Value_Date, No_Of_Credit, Amount, dabit_Acc FROM ReportTable "
        "ORDER BY rowid");
    return out;
  }

  std::vector<std::vector<std::string>> query(const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      throw Failure(sqlite3_errmsg(db_));
    while (sqlite3_step(st) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        const unsigned char* t = sqlite3_column_text(st, c);
        row.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
      }
      rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    return rows;
  }

  std::vector<std::string> emptied;
  std::vector<std::string> statements;
  std::vector<DetailRow> detail;
  bool failOpen = false;

 private:
  void exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
      std::string m = err ? err : "sqlite error";
      sqlite3_free(err);
      throw Failure(m);
    }
  }
  sqlite3* db_ = nullptr;
};

// A 16-character amount field from a value in thousandths of a baht.
inline std::string amount16(long long thousandths) {
  std::string digits = std::to_string(thousandths);
  return std::string(16 - digits.size(), '0') + digits;
}

inline std::string headerLine(std::string_view companyId, std::string_view customerRef) {
  return LineBuilder("001", 96).set(1, 3, "001").set(4, 15, companyId).set(16, 47, customerRef);
}
inline std::string debitLine(std::string_view product, std::string_view date,
                             std::string_view account, long long thousandths, int credits) {
  return LineBuilder("002", 109)
      .set(1, 3, "002")
      .set(4, 6, product)
      .set(7, 14, date)
      .set(15, 39, account)
      .set(49, 64, amount16(thousandths))
      .setRight(73, 78, std::to_string(credits));
}
inline std::string creditLine(std::string_view account, long long thousandths,
                              std::string_view bank = "025", long long invoice = 0) {
  return LineBuilder("003", 355)
      .set(1, 3, "003")
      .set(10, 34, account)
      .set(35, 50, amount16(thousandths))
      .set(65, 65, "S")
      .set(66, 69, "B001")
      .set(116, 131, amount16(invoice))
      .set(181, 183, bank);
}
inline std::string payeeLine(std::string_view thaiName, std::string_view englishName) {
  return LineBuilder("004", 816).set(1, 3, "004").set(33, 132, thaiName).set(353, 422, englishName);
}
inline std::string whtLine(long long thousandths) {
  return LineBuilder("005", 138).set(1, 3, "005").set(20, 35, amount16(thousandths));
}
inline std::string invoiceLine(long long vatThousandths) {
  return LineBuilder("006", 196).set(1, 3, "006").set(148, 163, amount16(vatThousandths));
}
inline std::string directDebitLine(std::string_view date, long long thousandths, int items) {
  return LineBuilder("007", 300)
      .set(1, 3, "007")
      .set(4, 6, "DDR")
      .set(15, 22, date)
      .set(96, 111, amount16(thousandths))
      .setRight(112, 117, std::to_string(items));
}
inline std::string trailerLine(int credits, long long thousandths) {
  return LineBuilder("999", 31)
      .set(1, 3, "999")
      .setRight(10, 15, std::to_string(credits))
      .set(16, 31, amount16(thousandths));
}

}  // namespace bs::reptest
