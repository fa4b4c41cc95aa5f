#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/session.h"

namespace bs {

// Where a program looks for its program folder.
struct ProgramFolderPlace {
  std::filesystem::path executableFolder;
  std::optional<std::filesystem::path> home;  // --home DIR
  std::string xdgDataHome;                    // $XDG_DATA_HOME, may be empty
  std::string userHome;                       // $HOME
  // Whether the program may write in a folder; the user's permissions by default.
  bool (*isWritable)(const std::filesystem::path&) = nullptr;
};

// The program folder, or why there is none.
struct ProgramFolderChoice {
  ProgramPaths paths;
  std::string problem;  // empty when `paths` is usable
};

// The program folder of a program started from `place`:
//  - --home DIR wins;
//  - a writable executable folder that holds Data/ is the program folder, as in the build
//    folder or a copied program folder;
//  - otherwise the shipped Data/ and Report/ (beside the program, or in ../share/batchseal of an
//    installation) are only templates: the per-user folder $XDG_DATA_HOME/batchseal
//    (~/.local/share/batchseal) is the program folder, made on first start as a copy of them.
//    A per-user folder that exists is the user's and is used as it is.
//  - an executable folder without Data/ anywhere stays the program folder.
ProgramFolderChoice chooseProgramFolder(const ProgramFolderPlace& place);

// chooseProgramFolder for the running program and its environment.
ProgramFolderChoice chooseProgramFolder(std::optional<std::filesystem::path> home);

}  // namespace bs
