#pragma once

#include <algorithm>
#include <array>
#include <string_view>

namespace bs {

// The fourteen product codes a debit line may carry, compared exactly and case-sensitively.
inline constexpr std::array<std::string_view, 14> validProducts{"PAY", "DCP", "PA2", "PA3", "MCL",
                                                                "PA4", "PA5", "PA6", "MCP", "DDP",
                                                                "CCP", "XMQ", "XDQ", "BNT"};
// Cheque products: their detail rows carry the payee's name, their credit rows no identity.
inline constexpr std::array<std::string_view, 3> chequeProducts{"MCP", "DDP", "CCP"};
// Media clearing to other banks.
inline constexpr std::array<std::string_view, 4> mediaClearingProducts{"MCL", "PA4", "PA5", "PA6"};
// Express cheques: at most 20 credits of either in one file.
inline constexpr std::array<std::string_view, 2> expressChequeProducts{"XMQ", "XDQ"};
// The product of direct-debit files, from the 007 line; it switches off the trailer's sums.
inline constexpr std::string_view directDebitProduct = "DDR";
// The receiving bank code of the home bank, whose own accounts carry a check digit.
inline constexpr std::string_view homeBankCode = "014";

template <std::size_t N>
constexpr bool isOneOf(std::string_view code, const std::array<std::string_view, N>& codes) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}
inline bool isValidProduct(std::string_view code) {
  return isOneOf(code, validProducts);
}
inline bool isChequeProduct(std::string_view code) {
  return isOneOf(code, chequeProducts);
}
inline bool isMediaClearingProduct(std::string_view code) {
  return isOneOf(code, mediaClearingProducts);
}
inline bool isExpressChequeProduct(std::string_view code) {
  return isOneOf(code, expressChequeProducts);
}

}  // namespace bs
