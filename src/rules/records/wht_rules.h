#pragma once

#include <string_view>

namespace bs {

class Session;

// A withholding-tax line ("005") of the current credit.  Checks its fields, adds a valid WHT
// Amount to BatchState::whtDetailSum and names the credit's account (or, for a cheque, its payee)
// in every error row.  `whtTypeCount` is the driver's count of income types met under the credit.
void checkWhtRecord(Session& session, std::string_view line, long lineNo, int whtTypeCount,
                    std::string_view product);

// The income type test of columns 36-40, trimmed: "1", "2", "3", "5" and "6" exactly; the
// 4-types in any case.  A plain "4" is not a type.
bool isValidIncomeType(std::string_view code);

}  // namespace bs
