#include "commands/wire_session.h"

#include "output/output_steps.h"
#include "reports/report_steps.h"
#include "reports/settings.h"
#include "rules/credit/credit_rules.h"
#include "rules/records/debit_rules.h"
#include "rules/records/direct_debit_rules.h"
#include "rules/records/header_rules.h"
#include "rules/records/invoice_rules.h"
#include "rules/records/payee_rules.h"
#include "rules/records/trailer_rules.h"
#include "rules/records/wht_rules.h"
#include "store/store_session.h"

namespace bs {

// Each layer installs its part; a line per layer keeps merges trivial.
void wireSession(Session& session) {
  installTableStore(session);
  installOutputSteps(session);
  installReportSteps(session);
  session.steps.loadBeneChargeSetting = [](Session& s) { loadBeneChargeSetting(s); };

  session.rules.checkHeaderRecord = checkHeaderRecord;
  session.rules.checkDebitRecord = checkDebitRecord;
  session.rules.checkCreditRecord = checkCreditRecord;
  session.rules.checkDirectDebitRecord = checkDirectDebitRecord;
  session.rules.checkDirectDebitItemRecord = checkDirectDebitItemRecord;
  session.rules.checkTrailerRecord = checkTrailerRecord;

  session.rules.checkPayeeRecord = checkPayeeRecord;
  session.rules.checkWhtRecord = checkWhtRecord;
  session.rules.checkInvoiceRecord = checkInvoiceRecord;
}

}  // namespace bs
