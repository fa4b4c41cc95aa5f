#include "rules/records/record_check_table.h"

#include <string>

#include "core/error_list.h"
#include "core/session.h"

namespace bs {

namespace {

void run(Session& session, std::span<const FieldCheck> checks, const RecordLine& line,
         std::string_view recordType, long lineNo, bool withParty, std::string_view account) {
  for (const FieldCheck& check : checks) {
    if (!check.appliesTo(line)) continue;
    if (check.passes(line.field(check.first, check.last), line)) continue;
    if (check.kind == FaultKind::Hard) session.state.batchValid = false;
    std::string lineText = std::to_string(lineNo);
    if (withParty)
      addErrorWithParty(session.form, recordType, lineText, check.column, check.fieldName,
                        check.message, account, {});
    else
      addError(session.form, recordType, lineText, check.column, check.fieldName, check.message);
    if (check.kind == FaultKind::Hard)
      markInvalid(session.form);
    else
      ++session.state.invalidAccountCount;
  }
}

}  // namespace

void runFieldChecks(Session& session, std::span<const FieldCheck> checks, const RecordLine& line,
                    std::string_view recordType, long lineNo) {
  run(session, checks, line, recordType, lineNo, false, {});
}

void runFieldChecksWithParty(Session& session, std::span<const FieldCheck> checks,
                             const RecordLine& line, std::string_view recordType, long lineNo,
                             std::string_view account) {
  run(session, checks, line, recordType, lineNo, true, account);
}

}  // namespace bs
