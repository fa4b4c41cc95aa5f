#include "core/failure.h"

#include <cerrno>
#include <cstring>

namespace bs {

void throwIoFailure(const std::string& what, const std::string& path, int errorNumber) {
  throw Failure(what + " \"" + path + "\". " + std::strerror(errorNumber));
}

void throwOpenFailure(const std::string& path, int errorNumber) {
  if (errorNumber == EISDIR)
    throw Failure("Cannot open file \"" + path + "\". It is a folder, not a file.");
  if (errorNumber == ENODEV)
    throw Failure("Cannot open file \"" + path +
                  "\". It is a device, a pipe or a socket, not a file.");
  throwIoFailure("Cannot open file", path, errorNumber);
}

}  // namespace bs
