#include "commands/version_info.h"

#include <isa-l.h>
#include <openssl/crypto.h>
#include <sqlite3.h>
#include <zip.h>
#include <zlib.h>

#include <QtGlobal>

#ifndef BATCHSEAL_VERSION
#error "BATCHSEAL_VERSION is set by the build"
#endif

namespace bs {

std::string programVersion() {
  return BATCHSEAL_VERSION;
}

std::vector<LibraryInfo> libraryVersions() {
  return {
      {"Qt", qVersion(), "LGPL-3.0"},
      {"SQLite", sqlite3_libversion(), "public domain"},
      {"libzip", zip_libzip_version(), "BSD-3-Clause"},
      {"OpenSSL", OpenSSL_version(OPENSSL_VERSION_STRING), "Apache-2.0"},
      {"zlib", zlibVersion(), "zlib licence"},
      // ISA-L answers no version at run time: the one it was built against.
      {"ISA-L",
       std::to_string(ISAL_MAJOR_VERSION) + "." + std::to_string(ISAL_MINOR_VERSION) + "." +
           std::to_string(ISAL_PATCH_VERSION),
       "BSD-3-Clause"},
  };
}

std::string versionText(std::string_view program) {
  std::string text = std::string(program) + " " + programVersion() + "\n";
  for (const LibraryInfo& library : libraryVersions())
    text += library.name + " " + library.version + "\n";
  return text;
}

}  // namespace bs
