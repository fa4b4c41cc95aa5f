#include "cli/cli.h"

#include <cstdio>

namespace bs::cli {

int run(int, char**) {
  std::fputs("batchseal-cli: not built yet\n", stderr);
  return 2;
}

}  // namespace bs::cli
