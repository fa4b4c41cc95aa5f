#include "commands/wire_session.h"

namespace bs {

void wireSession(Session& session) {
  (void)session;
}

}  // namespace bs
