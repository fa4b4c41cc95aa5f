// The field-check primitives and conversions over arbitrary bytes: they either answer or raise
// the one failure type, and the conversions agree with the number grammar where they must.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/failure.h"
#include "core/field_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  bool number = bs::isNumber(text);
  bs::isNameTextClean(text, size / 2);
  std::int32_t value = 0;
  bool integer = bs::tryToInteger(text, value);
  try {
    std::int32_t v = bs::toInteger(text);
    if (!integer || v != value) std::abort();  // the two forms must agree
  } catch (const bs::Failure&) {
    if (integer) std::abort();
  }
  for (auto check : {bs::toFloat}) {
    try {
      check(text);
    } catch (const bs::Failure&) {
    }
  }
  for (auto predicate : {bs::isHomeAccount, bs::isAmount16, bs::isCount2}) {
    try {
      bool result = predicate(text);
      if (result && !number) std::abort();  // each of them demands a number first
    } catch (const bs::Failure&) {
    }
  }
  std::size_t third = size / 3;
  bs::isValidDate(text.substr(0, third), text.substr(third, third), text.substr(2 * third));
  return 0;
}
