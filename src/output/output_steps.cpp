#include "output/output_steps.h"

#include "output/hashed_output.h"
#include "output/notification_fill.h"
#include "output/output_preparation.h"

namespace bs {

void installOutputSteps(Session& session) {
  session.steps.fillNotificationFlags = [](Session& s) { fillNotificationFlags(s); };
  session.steps.prepareOutput = [](Session& s) { startOutputPreparation(s); };
  session.steps.writeHashedOutput = [](Session& s) { writeHashedOutput(s); };
}

}  // namespace bs
