#include "core/commands.h"

namespace bs {

// The batch run lands with the validation core; until then the button says so plainly.
void ToolButton3Click(Session& session) {
  (void)session;
  stepNotBuilt("run the batch");
}

}  // namespace bs
