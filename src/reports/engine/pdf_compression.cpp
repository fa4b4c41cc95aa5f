#include "reports/engine/pdf_compression.h"

#include <zlib.h>

namespace {

// The level that stands in for zlib's default on this thread; 0 when none does.
thread_local int defaultLevel = 0;

}  // namespace

// Qt's PDF writer compresses every stream at zlib's default level and offers no setting for it.
// This definition, in the program itself, is the one every library of the process calls; it is
// zlib's own deflateInit_, spelled out through deflateInit2_ with zlib's defaults, except that a
// default level becomes this thread's chosen one.
extern "C" int deflateInit_(z_streamp stream, int level, const char* version, int streamSize) {
  if (level == Z_DEFAULT_COMPRESSION && defaultLevel != 0) level = defaultLevel;
  constexpr int kMemoryLevel = 8;  // zlib's DEF_MEM_LEVEL
  return deflateInit2_(stream, level, Z_DEFLATED, MAX_WBITS, kMemoryLevel, Z_DEFAULT_STRATEGY,
                       version, streamSize);
}

namespace bs {

FasterPdfCompression::FasterPdfCompression() : previous_(defaultLevel) {
  defaultLevel = 3;
}

FasterPdfCompression::~FasterPdfCompression() {
  defaultLevel = previous_;
}

}  // namespace bs
