#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bs {

// A library the programs are built on, as the running program finds it.
struct LibraryInfo {
  std::string name;
  std::string version;
  std::string licence;
};

// The version of Batchseal.
std::string programVersion();

// Qt, SQLite, libzip, OpenSSL, zlib and ISA-L with the versions in use: the library's own answer at run
// time, or the version it was built against where a library gives no such answer.
std::vector<LibraryInfo> libraryVersions();

// What --version prints: "PROGRAM VERSION" and one line per library, "NAME VERSION".
std::string versionText(std::string_view program);

}  // namespace bs
