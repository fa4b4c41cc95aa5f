#pragma once

#include <string_view>

namespace bs {

class Session;

// The direct-debit line (007): reference, value date, processing round, the accounts to credit
// and the currency.  Checks formats only; its rows carry no account or payee.
void checkDirectDebitRecord(Session& session, std::string_view line, long lineNo);
// The direct-debit item line (008): one payer's account to debit.  Checks formats only.
void checkDirectDebitItemRecord(Session& session, std::string_view line, long lineNo);

}  // namespace bs
