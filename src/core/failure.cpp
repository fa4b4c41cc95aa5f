#include "core/failure.h"

#include <cerrno>
#include <cstring>

namespace bs {

void throwIoFailure(const std::string& what, const std::string& path, int errorNumber) {
  throw Failure(what + " \"" + path + "\". " + std::strerror(errorNumber));
}

void throwNotAFile(const std::string& what, const std::string& path, bool folder) {
  throw Failure(
      what + " \"" + path + "\". " +
      (folder ? "It is a folder, not a file." : "It is a device, a pipe or a socket, not a file."));
}

void throwOpenFailure(const std::string& path, int errorNumber) {
  if (errorNumber == EISDIR || errorNumber == ENODEV)
    throwNotAFile("Cannot open file", path, errorNumber == EISDIR);
  throwIoFailure("Cannot open file", path, errorNumber);
}

}  // namespace bs
