#include "store/store_session.h"

#include <memory>

#include "store/sqlite_credit_context.h"
#include "store/table_store.h"

namespace bs {

void installTableStore(Session& session) {
  session.store = std::make_shared<TableStore>();
  // A session without a program folder (a tool or test that checks lines only) has no table
  // files: its store stays unconnected and the current-credit row stays in memory, rather than
  // the store picking up whatever Data/ the working folder holds.
  if (session.paths.programFolder.empty()) return;
  // Pointed at Data/ right away, so that a command run before start-up finds its tables too.
  session.store->setDirectory(session.paths.dataFolder());
  session.creditContext = std::make_unique<SqliteCreditContext>(session.store);
}

void connectStore(Session& session) {
  if (!session.store) return;
  session.store->close();
  if (!session.paths.programFolder.empty()) session.store->setDirectory(session.paths.dataFolder());
}

}  // namespace bs
