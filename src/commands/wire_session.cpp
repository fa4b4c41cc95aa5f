#include "commands/wire_session.h"

#include "output/output_steps.h"
#include "reports/settings.h"

namespace bs {

// Each layer installs its part; a line per layer keeps merges trivial.
void wireSession(Session& session) {
  installOutputSteps(session);
  session.steps.loadBeneChargeSetting = [](Session& s) { loadBeneChargeSetting(s); };
}

}  // namespace bs
