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
  if (session.paths.programFolder.empty()) {
    session.steps.connectStore = [](Session& s) { s.store->close(); };
  } else {
    // Pointed at Data/ right away, so that a command run before start-up finds its tables too.
    session.store->setDirectory(session.paths.dataFolder());
    session.creditContext = std::make_unique<SqliteCreditContext>(session.store);
    session.steps.connectStore = [](Session& s) {
      s.store->close();
      s.store->setDirectory(s.paths.dataFolder());
    };
  }
  session.steps.commandStarted = [](Session& s) { s.store->beginCommand(); };
  session.steps.commandEnded = [](Session& s) { s.store->endCommand(); };
}

}  // namespace bs
