#include "store/sqlite_credit_context.h"

#include <utility>

#include "store/table_store.h"

namespace bs {

namespace {
constexpr std::string_view kContextFile = "addAccBatchError.DAT";
}

SqliteCreditContext::SqliteCreditContext(std::shared_ptr<TableStore> store)
    : store_(std::move(store)) {}

void SqliteCreditContext::reset(std::string_view account) {
  store_->execSql("Delete From addAccBatchError");
  auto table = store_->openTable(kContextFile);
  table.append();
  table.setText("ACCOUNT", account);
  table.post();
}

void SqliteCreditContext::writeNames(std::string_view nameEn, std::string_view nameTh) {
  auto table = store_->openTable(kContextFile);
  table.edit();
  table.setText("BENE_NAME_EN", nameEn);
  table.setText("BENE_NAME_TH", nameTh);
  table.post();
}

CreditContext SqliteCreditContext::read() {
  auto table = store_->openTable(kContextFile);
  return CreditContext{table.text("ACCOUNT"), table.text("BENE_NAME_EN"),
                       table.text("BENE_NAME_TH")};
}

}  // namespace bs
