#pragma once

#include <zlib.h>

#include "core/failure.h"

namespace bs {

// A deflate stream as a zip entry holds it (raw, without zlib's header), at the fastest level.
// Ends the stream when it goes out of scope, also when a step fails.
class RawDeflate {
 public:
  RawDeflate() {
    if (deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw Failure("deflate is not available");
  }
  ~RawDeflate() { deflateEnd(&z); }
  RawDeflate(const RawDeflate&) = delete;
  RawDeflate& operator=(const RawDeflate&) = delete;

  z_stream z{};
};

}  // namespace bs
