#include "commands/wire_session.h"

#include "rules/records/debit_rules.h"
#include "rules/records/direct_debit_rules.h"
#include "rules/records/header_rules.h"
#include "rules/records/trailer_rules.h"

namespace bs {

// Each layer installs its part; a line per layer keeps merges trivial.
void wireSession(Session& session) {
  (void)session;
  session.rules.checkHeaderRecord = checkHeaderRecord;
  session.rules.checkDebitRecord = checkDebitRecord;
  session.rules.checkDirectDebitRecord = checkDirectDebitRecord;
  session.rules.checkDirectDebitItemRecord = checkDirectDebitItemRecord;
  session.rules.checkTrailerRecord = checkTrailerRecord;
}

}  // namespace bs
