#pragma once

#include <memory>
#include <string_view>

#include "core/credit_context.h"

namespace bs {

class TableStore;

// The current-credit row kept in the table addAccBatchError of the table store.
class SqliteCreditContext : public CreditContextStore {
 public:
  explicit SqliteCreditContext(std::shared_ptr<TableStore> store);

  void reset(std::string_view account) override;
  void writeNames(std::string_view nameEn, std::string_view nameTh) override;
  CreditContext read() override;

 private:
  std::shared_ptr<TableStore> store_;
};

}  // namespace bs
