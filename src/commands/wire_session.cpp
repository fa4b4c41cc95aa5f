#include "commands/wire_session.h"

#include "rules/credit/credit_rules.h"

namespace bs {

// Each layer installs its part; a line per layer keeps merges trivial.
void wireSession(Session& session) {
  session.rules.checkCreditRecord = checkCreditRecord;
}

}  // namespace bs
