#include "rules/rule_context.h"

namespace bs {

void reportFault(RuleContext& context, const ErrorRow& row) {
  context.state.batchValid = false;
  context.errors.append(row);
  context.errors.markInvalid();
}

void reportAccountFault(RuleContext& context, const ErrorRow& row) {
  context.errors.append(row);
  ++context.state.invalidAccountCount;
}

}  // namespace bs
