#pragma once

#include <string_view>

#include "core/batch_state.h"
#include "core/clock.h"
#include "core/credit_context.h"
#include "core/error_list.h"

namespace bs {

// What a record rule sees: the batch state, the error list, the current-credit row, today's date
// and the product of the batch the line belongs to (currentProduct).  Nothing of the window.
struct RuleContext {
  BatchState& state;
  ErrorList& errors;
  CreditContextStore& credit;
  const Clock& clock;
  std::string_view product;
};

// The two ways a failing check is reported.
// A fault: batchValid false, the row, then the invalid mark.
void reportFault(RuleContext& context, const ErrorRow& row);
// A home-bank account that fails its check digit: the row and one more invalid account;
// batchValid and the status line stay as they are.
void reportAccountFault(RuleContext& context, const ErrorRow& row);

}  // namespace bs
