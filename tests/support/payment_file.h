#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/credit_lines.h"

namespace bs::test {

// A value date that stays in the future for years, for files checked against the real clock.
inline constexpr std::string_view kFarValueDate = "20301210";

// A whole payment file built debit by debit: a header, each debit followed by its credits and
// their detail lines, and a trailer.  Each debit's amount and No. of Credits, and the trailer's
// counts and total, are worked out from the credits added, so the file balances unless a line
// is changed afterwards.
class PaymentFile {
 public:
  explicit PaymentFile(std::string_view companyId = "COMPANY00001");

  // Opens a debit of `product`; the credits added next belong to it.
  PaymentFile& debit(std::string_view product, std::string_view valueDate = kFarValueDate,
                     std::string_view account = kHomeAccount);
  // A credit line and the detail lines (payee, withholding tax, invoices) that follow it.  Its
  // Credit Amount counts towards the open debit.
  PaymentFile& credit(const std::string& creditLine, std::vector<std::string> details);
  // A line added as it stands, after everything added so far (a direct-debit line, say).
  PaymentFile& raw(std::string line);

  // Every line, in file order, the trailer last.
  std::vector<std::string> lines() const;
  // The lines joined with CR LF.
  std::string bytes() const;

 private:
  struct Entry {
    enum Kind { Debit, Line } kind;
    std::string text;  // the product for a debit, the line otherwise
    std::string valueDate, account;
    long long amount = 0;  // a debit's credit sum
    long credits = 0;
  };
  std::string header_;
  std::vector<Entry> entries_;
};

}  // namespace bs::test
