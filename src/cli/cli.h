#pragma once

namespace bs::cli {

// batchseal-cli: the window's commands with its dialogs answered from flags.  Returns the exit
// code: 0 completed, 1 stopped on the data, 2 usage error, 3 failure.
int run(int argc, char** argv);

}  // namespace bs::cli
