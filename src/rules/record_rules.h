#pragma once

#include <string_view>

#include "rules/rule_context.h"

namespace bs {

// The rules of each record type, in the order the bank's rule tables give them.  Each reports
// every fault of its line through the context and keeps in the batch state what the validation
// pass and the later records need.  A conversion that fails ends the command (Failure).
void checkHeaderRecord(RuleContext& context, std::string_view line, long lineNo);  // 001
void checkDebitRecord(RuleContext& context, std::string_view line, long lineNo);   // 002
void checkCreditRecord(RuleContext& context, std::string_view line, long lineNo);  // 003
void checkPayeeRecord(RuleContext& context, std::string_view line, long lineNo);   // 004
void checkWhtRecord(RuleContext& context, std::string_view line, long lineNo,
                    int whtTypeCount);                                                      // 005
void checkInvoiceRecord(RuleContext& context, std::string_view line, long lineNo);          // 006
void checkDirectDebitRecord(RuleContext& context, std::string_view line, long lineNo);      // 007
void checkDirectDebitItemRecord(RuleContext& context, std::string_view line, long lineNo);  // 008
void checkTrailerRecord(RuleContext& context, std::string_view line, long lineNo);          // 999

}  // namespace bs
