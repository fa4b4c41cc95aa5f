#pragma once

#include <memory>
#include <string_view>

#include "core/credit_context.h"

namespace bs {

class TableStore;

// The current-credit row kept in the table addAccBatchError of the table store.
//
// Within a command the first reset goes to the table at once (so that a missing, damaged or
// locked table file stops the run at its first credit), and from then on the row is kept in
// memory: the table gets its final state before the command commits, or before anything else
// uses the store.  Outside a command every change goes to the table straight away.
class SqliteCreditContext : public CreditContextStore {
 public:
  explicit SqliteCreditContext(std::shared_ptr<TableStore> store);
  ~SqliteCreditContext() override;
  SqliteCreditContext(const SqliteCreditContext&) = delete;
  SqliteCreditContext& operator=(const SqliteCreditContext&) = delete;

  void reset(std::string_view account) override;
  void writeNames(std::string_view nameEn, std::string_view nameTh) override;
  CreditContext read() override;

 private:
  void resetTable(std::string_view account);
  void writeNamesToTable(std::string_view nameEn, std::string_view nameTh);
  CreditContext readTable();
  // Starts keeping the row in memory, when a command runs.
  void keep(CreditContext row);
  // Writes the row kept in memory to the table and stops keeping it.
  void writeKept();

  std::shared_ptr<TableStore> store_;
  bool kept_ = false;
  CreditContext row_;
  // What the table lacks of the kept row: a reset (the account) and the names.
  bool resetPending_ = false;
  bool namesPending_ = false;
};

}  // namespace bs
