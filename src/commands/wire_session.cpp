#include "commands/wire_session.h"

#include "output/output_steps.h"
#include "reports/report_steps.h"
#include "reports/settings.h"
#include "rules/record_rules.h"
#include "store/store_session.h"

namespace bs {

namespace {

// The driver's calls reach the record rules through the narrow context of a rule.
using Rule = void (*)(RuleContext&, std::string_view, long);
template <Rule rule>
void onLine(Session& s, std::string_view line, long lineNo, std::string_view product) {
  ErrorList errors(s.form);
  RuleContext context{s.state, errors, *s.creditContext, s.clock, product};
  rule(context, line, lineNo);
}
template <Rule rule>
void onLine(Session& s, std::string_view line, long lineNo) {
  onLine<rule>(s, line, lineNo, s.state.currentProduct);
}
void onWhtLine(Session& s, std::string_view line, long lineNo, int whtTypeCount,
               std::string_view product) {
  ErrorList errors(s.form);
  RuleContext context{s.state, errors, *s.creditContext, s.clock, product};
  checkWhtRecord(context, line, lineNo, whtTypeCount);
}

}  // namespace

// Each layer installs its part; a line per layer keeps merges trivial.
void wireSession(Session& session) {
  installTableStore(session);
  installOutputSteps(session);
  installReportSteps(session);
  session.steps.loadBeneChargeSetting = [](Session& s) { loadBeneChargeSetting(s); };

  session.rules.checkHeaderRecord = onLine<checkHeaderRecord>;
  session.rules.checkDebitRecord = onLine<checkDebitRecord>;
  session.rules.checkCreditRecord = onLine<checkCreditRecord>;
  session.rules.checkDirectDebitRecord = onLine<checkDirectDebitRecord>;
  session.rules.checkDirectDebitItemRecord = onLine<checkDirectDebitItemRecord>;
  session.rules.checkTrailerRecord = onLine<checkTrailerRecord>;

  session.rules.checkPayeeRecord = onLine<checkPayeeRecord>;
  session.rules.checkWhtRecord = onWhtLine;
  session.rules.checkInvoiceRecord = onLine<checkInvoiceRecord>;
}

}  // namespace bs
