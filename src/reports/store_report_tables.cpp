#include <optional>

#include "core/failure.h"
#include "reports/report_tables.h"
#include "store/table_store.h"

namespace bs {

namespace {

class StoreReportTables : public ReportTables {
 public:
  explicit StoreReportTables(std::shared_ptr<TableStore> store) : store_(std::move(store)) {}
  // A summary that ends with a failure keeps the rows it appended before it, as the store keeps
  // whatever a command wrote before its failure.
  ~StoreReportTables() override {
    try {
      endDetailRows();
    } catch (const std::exception&) {
    }
  }

  void emptyTable(std::string_view fileName) override {
    endDetailRows();
    TableStore::Table table = store_->openTable(fileName);
    table.setExclusive(true);
    table.emptyTable();
    table.setExclusive(false);
  }

  void appendDetailRow(const DetailRow& row) override {
    if (!detail_)
      detail_.emplace(store_->appendRows(
          kReportTableDetailFile, {"No", "Product", "NameEng", "Credit Amount", "CreditAccount",
                                   "TotalInvoidAmount", "TotalWHTAmount", "DeliveryMode",
                                   "PickupLocation", "VATAmount", "Customer_Ref", "dabit_Acc"}));
    TableStore::RowAppender& t = *detail_;
    t.integer(row.No);
    for (const std::string* field :
         {&row.Product, &row.NameEng, &row.CreditAmount, &row.CreditAccount, &row.TotalInvoidAmount,
          &row.TotalWHTAmount, &row.DeliveryMode, &row.PickupLocation, &row.VATAmount,
          &row.Customer_Ref, &row.dabit_Acc})
      t.text(*field);
    t.endRow();
  }

  // Rows held back go to the table before anything else reads or changes the store.
  void endDetailRows() override {
    if (!detail_) return;
    auto held = std::move(*detail_);
    detail_.reset();
    held.finish();
  }

  void execSql(std::string_view sql) override {
    endDetailRows();
    store_->execSql(sql);
  }

  void openTable(std::string_view fileName) override {
    endDetailRows();
    (void)store_->openTable(fileName);
  }

  TableRows readAll(std::string_view fileName) override {
    endDetailRows();
    TableStore::Rows rows = store_->readAll(fileName);
    return TableRows{std::move(rows.columns), std::move(rows.rows)};
  }

  std::vector<std::string> columnNames(std::string_view fileName) override {
    return store_->columnNames(fileName);
  }

  std::uint64_t rowCount(std::string_view fileName) override {
    endDetailRows();
    return store_->rowCount(fileName);
  }

  void forEachRow(std::string_view fileName, long long afterKey, std::size_t limit,
                  const RowVisitor& visit) override {
    endDetailRows();
    store_->forEachRow(fileName, afterKey, limit, visit);
  }

 private:
  std::shared_ptr<TableStore> store_;
  std::optional<TableStore::RowAppender> detail_;
};

}  // namespace

std::unique_ptr<ReportTables> storeReportTables(std::shared_ptr<TableStore> store) {
  if (!store) throw Failure("The table store is not connected.");
  return std::make_unique<StoreReportTables>(std::move(store));
}

}  // namespace bs
