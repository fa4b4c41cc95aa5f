#include "commands/session_setup.h"

#include "reports/engine/report_commands.h"
#include "store/store_session.h"

namespace bs {

void setUpSession(Session& session) {
  installTableStore(session);
  reportEngine(session);
}

}  // namespace bs
