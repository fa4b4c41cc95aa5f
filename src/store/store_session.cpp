#include "store/store_session.h"

#include <memory>

#include "store/sqlite_credit_context.h"
#include "store/table_store.h"

namespace bs {

void installTableStore(Session& session) {
  session.store = std::make_shared<TableStore>();
  // Pointed at Data/ right away, so that a command run before start-up finds its tables too.
  session.store->setDirectory(session.paths.dataFolder());
  session.creditContext = std::make_unique<SqliteCreditContext>(session.store);
  session.steps.connectStore = [](Session& s) {
    s.store->close();
    s.store->setDirectory(s.paths.dataFolder());
  };
  session.steps.commandStarted = [](Session& s) { s.store->beginCommand(); };
  session.steps.commandEnded = [](Session& s) { s.store->endCommand(); };
}

}  // namespace bs
