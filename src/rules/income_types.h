#pragma once

#include <string_view>

namespace bs {

// The income type of a withholding-tax line, trimmed: "1", "2", "3", "5" and "6" exactly; the
// 4-types (4A, 4B, 4B1.1 to 4B1.4, 4B2, 4B3) in any case.  A plain "4" is not a type.
bool isValidIncomeType(std::string_view code);

}  // namespace bs
