#include "core/failure.h"

#include <cstring>

namespace bs {

void throwIoFailure(const std::string& what, const std::string& path, int errorNumber) {
  throw Failure(what + " \"" + path + "\". " + std::strerror(errorNumber));
}

}  // namespace bs
