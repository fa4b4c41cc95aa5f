#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace bs {

// One field of a record: its name in the bank's record layout and its columns, 1-based and
// inclusive.
struct FieldSpec {
  std::string_view name;
  std::size_t first;
  std::size_t last;
  bool operator==(const FieldSpec&) const = default;
};

// Every field of a record type ("001" to "008", "999") in column order, from column 1 to the
// record's last column; the columns no rule examines are fields of their own, "(not examined)".
// An empty span for an unknown type.
std::span<const FieldSpec> recordFields(std::string_view recordType);
// "Header", "Debit", "Credit", "Payee", "Withholding Tax", "Invoice", "Direct Debit",
// "Direct Debit Item", "Trailer"; empty for an unknown type.
std::string_view recordTypeName(std::string_view recordType);

}  // namespace bs
