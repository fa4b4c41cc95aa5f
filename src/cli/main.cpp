#include "cli/cli.h"

// fontconfig keeps its font cache for the life of the process; under LeakSanitizer that would
// count as a leak and change the exit code of every command that renders a report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

int main(int argc, char** argv) {
  return bs::cli::run(argc, argv);
}
