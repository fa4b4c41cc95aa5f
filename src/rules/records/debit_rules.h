#pragma once

#include <string_view>

namespace bs {

class Session;

// The debit line (002) that opens a payment batch.  `product` is columns 4-6 of the same line
// (currentProduct).  Every row carries the untrimmed debit account, columns 15-39.  Keeps the
// debit amount and line for the driver's comparison with the credits and grows the debit total
// that the trailer compares; counts home-bank accounts that fail their check digit.
void checkDebitRecord(Session& session, std::string_view line, long lineNo,
                      std::string_view product);

}  // namespace bs
