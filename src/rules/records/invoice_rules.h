#pragma once

#include <string_view>

namespace bs {

class Session;

// An invoice line ("006") of the current credit.  Checks its fields; every error row names both
// the credit's account and its payee from the credit context, except the Print Language row,
// which names the payee for a cheque and the account for any other payment.
void checkInvoiceRecord(Session& session, std::string_view line, long lineNo,
                        std::string_view product);

}  // namespace bs
