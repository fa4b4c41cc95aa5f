// batchseal-cli verify: whether the hash line of an output file, or of the one entry of an
// archive, is the SHA-1 of the lines after it.

#include <cstdio>

#include "cli/cli_run.h"
#include "cli/json_out.h"
#include "output/seal_verify.h"

namespace bs::cli {

int verifyCommand(const std::string& path, bool json) {
  SealCheck check = verifySeal(path);
  // A file that cannot be read is a failure, not a broken seal.
  std::FILE* probe = std::fopen(path.c_str(), "rb");
  bool readable = probe != nullptr;
  if (probe) std::fclose(probe);
  const char* outcome = check.holds ? "completed" : readable ? "stopped" : "failed";
  if (json) {
    std::printf("{\n  \"outcome\": \"%s\",\n  \"holds\": %s,\n  \"message\": ", outcome,
                check.holds ? "true" : "false");
    writeJsonString(stdout, check.message);
    std::fputs(",\n  \"hash\": ", stdout);
    writeJsonString(stdout, check.hashLine);
    std::fputs(",\n  \"computed\": ", stdout);
    writeJsonString(stdout, check.computed);
    std::fputs("\n}\n", stdout);
  } else {
    std::printf("%s\n", check.message.c_str());
    if (!check.hashLine.empty()) std::printf("Hash line: %s\n", check.hashLine.c_str());
    if (!check.computed.empty()) std::printf("Computed:  %s\n", check.computed.c_str());
  }
  return check.holds ? 0 : readable ? 1 : 3;
}

}  // namespace bs::cli
