#pragma once

#include <string_view>

namespace bs {

class Session;

// Checks one credit record ("003") against the rules of `product`, the product of the debit
// record above it.  Starts the current-credit context with the credit's account, reports every
// fault as an error row and leaves in the batch state what the driver and the detail records of
// this credit need.  Ends the command (Failure) only where the table store fails, or where an
// amount, a BahtNet ServicesType or a home-bank account that passes the number test does not
// convert; the rows added before stay.
void checkCreditRecord(Session& session, std::string_view line, long lineNo,
                       std::string_view product);

}  // namespace bs
