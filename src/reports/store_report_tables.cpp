#include "core/failure.h"
#include "reports/report_tables.h"
#include "store/table_store.h"

namespace bs {

namespace {

class StoreReportTables : public ReportTables {
 public:
  explicit StoreReportTables(std::shared_ptr<TableStore> store) : store_(std::move(store)) {}

  void emptyTable(std::string_view fileName) override {
    if (std::string(fileName) == kReportTableDetailFile) detail_.reset();
    TableStore::Table table = store_->openTable(fileName);
    table.setExclusive(true);
    table.emptyTable();
    table.setExclusive(false);
    if (std::string(fileName) == kReportTableDetailFile)
      detail_ = std::make_unique<TableStore::Table>(std::move(table));
  }

  void appendDetailRow(const DetailRow& row) override {
    if (!detail_)
      detail_ = std::make_unique<TableStore::Table>(store_->openTable(kReportTableDetailFile));
    TableStore::Table& t = *detail_;
    t.append();
    t.setInteger("No", row.No);
    t.setText("Product", row.Product);
    t.setText("NameEng", row.NameEng);
    t.setText("Credit Amount", row.CreditAmount);
    t.setText("CreditAccount", row.CreditAccount);
    t.setText("TotalInvoidAmount", row.TotalInvoidAmount);
    t.setText("TotalWHTAmount", row.TotalWHTAmount);
    t.setText("DeliveryMode", row.DeliveryMode);
    t.setText("PickupLocation", row.PickupLocation);
    t.setText("VATAmount", row.VATAmount);
    t.setText("Customer_Ref", row.Customer_Ref);
    t.setText("dabit_Acc", row.dabit_Acc);
    t.post();
  }

  void execSql(std::string_view sql) override { store_->execSql(sql); }

  void openTable(std::string_view fileName) override { (void)store_->openTable(fileName); }

  TableRows readAll(std::string_view fileName) override {
    TableStore::Rows rows = store_->readAll(fileName);
    return TableRows{std::move(rows.columns), std::move(rows.rows)};
  }

  std::vector<std::string> columnNames(std::string_view fileName) override {
    return store_->columnNames(fileName);
  }

  std::uint64_t rowCount(std::string_view fileName) override { return store_->rowCount(fileName); }

  void forEachRow(std::string_view fileName, long long afterKey, std::size_t limit,
                  const RowVisitor& visit) override {
    store_->forEachRow(fileName, afterKey, limit, visit);
  }

 private:
  std::shared_ptr<TableStore> store_;
  std::unique_ptr<TableStore::Table> detail_;
};

}  // namespace

std::unique_ptr<ReportTables> storeReportTables(std::shared_ptr<TableStore> store) {
  if (!store) throw Failure("The table store is not connected.");
  return std::make_unique<StoreReportTables>(std::move(store));
}

}  // namespace bs
