// The settings reader over arbitrary bytes: it answers for every file, the answer read from the
// file equals the one read from the same text in memory, and the beneficiary-charge flag is on
// for TRUE alone.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "reports/settings.h"

namespace {
const std::string& scratchPath() {
  static const std::string path = [] {
    std::atexit([] { std::remove(scratchPath().c_str()); });
    return "/tmp/batchseal-fuzz-settings-" + std::to_string(::getpid());
  }();
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::FILE* f = std::fopen(scratchPath().c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  struct Key {
    const char* section;
    const char* key;
  };
  for (const Key k : {Key{"BeneChargeProfile", "BeneChargeFlag"}, Key{"ThreeTierRate", "RangeFee1"},
                      Key{"threetierrate", "RANGEFEE3"}}) {
    const std::string inMemory = bs::readSettingFromText(text, k.section, k.key);
    if (bs::readSetting(scratchPath(), k.section, k.key) != inMemory) std::abort();
    // The flag is on for "TRUE" in any letter case and nothing else.
    if (bs::beneChargeFlagFrom(inMemory) &&
        (inMemory.size() != 4 || (inMemory[0] | 0x20) != 't' || (inMemory[1] | 0x20) != 'r' ||
         (inMemory[2] | 0x20) != 'u' || (inMemory[3] | 0x20) != 'e'))
      std::abort();
  }
  return 0;
}
