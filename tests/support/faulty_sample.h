#pragma once

#include <span>
#include <string>
#include <string_view>

#include "rules/record_layout.h"

namespace bs::test {

// A fault planted in the first record of a type: the field and the value that breaks it.
struct PlantedFault {
  std::string_view recordType;
  FieldSpec field;
  std::string_view value;
};
// One fault for every record type, "001" to "008" and "999".
std::span<const PlantedFault> plantedFaults();

// `clean` (a payment file with CR LF line ends and a trailer last) with the planted faults: each
// in the first line of its type, a direct-debit line and item added before the trailer.
std::string withPlantedFaults(std::string_view clean);
// The sample payment file of the examples with the planted faults: examples/faulty-payment.txt.
std::string faultySample();

}  // namespace bs::test
