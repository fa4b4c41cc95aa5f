#include "store/sqlite_credit_context.h"

#include <utility>

#include "store/table_store.h"

namespace bs {

namespace {
constexpr std::string_view kContextFile = "addAccBatchError.DAT";
}

SqliteCreditContext::SqliteCreditContext(std::shared_ptr<TableStore> store)
    : store_(std::move(store)) {}

SqliteCreditContext::~SqliteCreditContext() {
  if (!kept_) return;
  store_->setPendingWrites(nullptr);
  try {
    writeKept();
  } catch (const std::exception&) {
  }
}

void SqliteCreditContext::resetTable(std::string_view account) {
  store_->execSql("Delete From addAccBatchError");
  auto table = store_->openTable(kContextFile);
  table.append();
  table.setText("ACCOUNT", account);
  table.post();
}

void SqliteCreditContext::writeNamesToTable(std::string_view nameEn, std::string_view nameTh) {
  auto table = store_->openTable(kContextFile);
  table.edit();
  table.setText("BENE_NAME_EN", nameEn);
  table.setText("BENE_NAME_TH", nameTh);
  table.post();
}

CreditContext SqliteCreditContext::readTable() {
  auto table = store_->openTable(kContextFile);
  return CreditContext{table.text("ACCOUNT"), table.text("BENE_NAME_EN"),
                       table.text("BENE_NAME_TH")};
}

void SqliteCreditContext::keep(CreditContext row) {
  row_ = std::move(row);
  resetPending_ = namesPending_ = false;
  kept_ = true;
  store_->setPendingWrites([this] { writeKept(); });
}

void SqliteCreditContext::writeKept() {
  kept_ = false;
  if (resetPending_) resetTable(row_.account);
  if (namesPending_) writeNamesToTable(row_.beneNameEn, row_.beneNameTh);
  resetPending_ = namesPending_ = false;
}

void SqliteCreditContext::reset(std::string_view account) {
  if (kept_) {
    row_ = CreditContext{std::string(account), {}, {}};
    resetPending_ = true;
    namesPending_ = false;
    return;
  }
  resetTable(account);
  if (store_->inCommand()) keep(CreditContext{std::string(account), {}, {}});
}

void SqliteCreditContext::writeNames(std::string_view nameEn, std::string_view nameTh) {
  if (kept_) {
    row_.beneNameEn = nameEn;
    row_.beneNameTh = nameTh;
    namesPending_ = true;
    return;
  }
  writeNamesToTable(nameEn, nameTh);
  if (store_->inCommand()) keep(readTable());
}

CreditContext SqliteCreditContext::read() {
  if (kept_) return row_;
  CreditContext row = readTable();
  if (store_->inCommand()) keep(row);
  return row;
}

}  // namespace bs
