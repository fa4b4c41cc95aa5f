#include "cli/cli.h"

#include <cstdio>
#include <exception>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "commands/version_info.h"
#include "core/program_folder.h"

namespace bs::cli {

int run(int argc, char** argv) {
  Options o;
  try {
    o = parse(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "batchseal-cli: %s\n%s", e.message.c_str(), kUsageText);
    return kUsage;
  }
  try {
    if (o.command == "help") {
      std::fputs(kUsageText, stdout);
      return kCompleted;
    }
    if (o.command == "version") {
      std::fputs(versionText("batchseal-cli").c_str(), stdout);
      return kCompleted;
    }
    if (o.command == "verify") return verifyCommand(o.positional[0], o.json);
    if (o.command == "show") return showCommand(o);

    const ProgramFolderChoice folder = chooseProgramFolder(o.home);
    if (!folder.problem.empty()) {
      std::fprintf(stderr, "batchseal-cli: %s\n", folder.problem.c_str());
      return kFailed;
    }
    if (o.command == "seal") return sealCommand(o, folder.paths);
    if (o.command == "check") return checkCommand(o, folder.paths);
    return feeCommand(o, folder.paths);
  } catch (const std::exception& e) {
    // Every command failure is caught inside runCommand; this is a fault in the tool itself.
    std::fprintf(stderr, "batchseal-cli: %s\n", e.what());
    return kFailed;
  }
}

}  // namespace bs::cli
