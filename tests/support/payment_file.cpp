#include "support/payment_file.h"

#include <stdexcept>

#include "support/record_lines.h"

namespace bs::test {

PaymentFile::PaymentFile(std::string_view companyId) : header_(headerLine(companyId)) {}

PaymentFile& PaymentFile::debit(std::string_view product, std::string_view valueDate,
                                std::string_view account) {
  entries_.push_back(
      {Entry::Debit, std::string(product), std::string(valueDate), std::string(account), 0, 0});
  return *this;
}

PaymentFile& PaymentFile::credit(const std::string& creditLine, std::vector<std::string> details) {
  Entry* open = nullptr;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->kind == Entry::Debit) {
      open = &*it;
      break;
    }
  }
  if (!open) throw std::logic_error("a credit needs a debit before it");
  const std::size_t first = credit::amount.first - 1;
  const std::size_t width = credit::amount.last - credit::amount.first + 1;
  open->amount += std::stoll(creditLine.substr(first, width));
  open->credits += 1;
  entries_.push_back({Entry::Line, creditLine, {}, {}, 0, 0});
  for (auto& d : details) entries_.push_back({Entry::Line, std::move(d), {}, {}, 0, 0});
  return *this;
}

PaymentFile& PaymentFile::raw(std::string line) {
  entries_.push_back({Entry::Line, std::move(line), {}, {}, 0, 0});
  return *this;
}

std::vector<std::string> PaymentFile::lines() const {
  std::vector<std::string> out{header_};
  long debits = 0, credits = 0;
  long long total = 0;
  for (const Entry& e : entries_) {
    if (e.kind == Entry::Debit) {
      out.push_back(debitLine(e.text, e.amount, e.credits, e.valueDate, e.account));
      ++debits;
      credits += e.credits;
      total += e.amount;
    } else {
      if (e.text.compare(0, 3, "007") == 0) ++debits;
      if (e.text.compare(0, 3, "008") == 0) ++credits;
      out.push_back(e.text);
    }
  }
  // A direct-debit file declares its lines but no amount the driver could compare.
  out.push_back(trailerLine(debits, credits, total > 0 ? total : 1000));
  return out;
}

std::string PaymentFile::bytes() const {
  return joinLines(lines());
}

}  // namespace bs::test
