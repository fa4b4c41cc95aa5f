#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/record_lines.h"
#include "support/test_support.h"

namespace bs::test {

// The fields of a credit line ("003", 355 characters), by column.
struct CreditField {
  std::size_t first;
  std::size_t last;
};
namespace credit {
inline constexpr CreditField sequence{4, 9};
inline constexpr CreditField account{10, 34};
inline constexpr CreditField amount{35, 50};
inline constexpr CreditField currency{51, 53};
inline constexpr CreditField internalReference{54, 61};
inline constexpr CreditField whtPresent{62, 62};
inline constexpr CreditField invoicePresent{63, 63};
inline constexpr CreditField adviceRequired{64, 64};
inline constexpr CreditField deliveryMode{65, 65};
inline constexpr CreditField pickupLocation{66, 69};
inline constexpr CreditField whtFormType{70, 71};
inline constexpr CreditField whtAttachNo{86, 91};
inline constexpr CreditField whtCount{92, 93};
inline constexpr CreditField whtTotal{94, 109};
inline constexpr CreditField invoiceCount{110, 115};
inline constexpr CreditField invoiceTotal{116, 131};
inline constexpr CreditField whtPayType{132, 132};
inline constexpr CreditField whtRemark{133, 172};
inline constexpr CreditField whtDeductDate{173, 180};
inline constexpr CreditField bankCode{181, 183};
inline constexpr CreditField bankName{184, 218};
inline constexpr CreditField branchCode{219, 222};
inline constexpr CreditField whtSignatory{258, 258};
inline constexpr CreditField notification{259, 259};
inline constexpr CreditField chequeReference{260, 279};
inline constexpr CreditField chequeDocumentType{280, 280};
inline constexpr CreditField paymentTypeCode{281, 283};
inline constexpr CreditField servicesType{284, 285};
}  // namespace credit

// A credit line that every credit rule accepts under `product` (any product code; an unknown
// one gets the fields every product needs).  Fields are changed by name afterwards.
class CreditLine {
 public:
  explicit CreditLine(std::string_view product);

  CreditLine& set(CreditField field, std::string_view text);
  // Declares withholding tax: flag "Y", form type, attach number, count, total and the
  // certificate particulars, all valid.
  CreditLine& withWht(int detailCount, std::int64_t totalThousandths);
  // Declares invoice details: flag "Y", count and total.
  CreditLine& withInvoices(int detailCount, std::int64_t totalThousandths);

  const std::string& str() const { return line_.str(); }
  operator std::string() const { return line_.str(); }

 private:
  LineBuilder line_;
};

}  // namespace bs::test
