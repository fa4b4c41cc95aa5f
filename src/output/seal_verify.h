#pragma once

#include <string>

namespace bs {

// Whether a sealed output file still holds its seal: the first line is 40 upper-case hexadecimal
// digits followed by CR LF, and they are the SHA-1 of everything after that first CR LF.
struct SealCheck {
  bool holds = false;
  std::string message;   // what a person reads: the verdict and why
  std::string hashLine;  // the 40 digits of the first line, when it has them
  std::string computed;  // the SHA-1 of the records, in the same form
};

// `path` is an output file or a zip archive holding exactly one entry, the output file.
SealCheck verifySeal(const std::string& path);

}  // namespace bs
