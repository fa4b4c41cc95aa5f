#pragma once

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <vector>

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

// The same raw deflate stream made by ISA-L's level 1, several times faster than zlib's fastest
// level and a little smaller on payment files.  The stream starts on a byte boundary, so that it
// may follow a sync-flushed block, and ends with the final block.
class FastRawDeflate {
 public:
  FastRawDeflate() : stream_(std::make_unique<isal_zstream>()), level_(ISAL_DEF_LVL1_DEFAULT) {
    isal_deflate_init(stream_.get());
    stream_->level = 1;
    stream_->level_buf = level_.data();
    stream_->level_buf_size = static_cast<std::uint32_t>(level_.size());
    stream_->gzip_flag = IGZIP_DEFLATE;
    stream_->flush = NO_FLUSH;
  }

  // Deflates `size` bytes (`last`: the stream ends after them) into `out`, handing each part of
  // it to `sink(data, size)` as it fills.
  template <class Sink>
  void add(const unsigned char* data, std::size_t size, bool last, std::vector<unsigned char>& out,
           Sink&& sink) {
    isal_zstream& s = *stream_;
    s.next_in = const_cast<unsigned char*>(data);
    s.avail_in = static_cast<std::uint32_t>(size);
    s.end_of_stream = last ? 1 : 0;
    for (;;) {
      s.next_out = out.data();
      s.avail_out = static_cast<std::uint32_t>(out.size());
      if (isal_deflate(&s) != COMP_OK) throw Failure("deflate failed");
      std::size_t have = out.size() - s.avail_out;
      if (have > 0) sink(out.data(), have);
      // The last call ends when the final block is out; the others once their input is taken
      // (what ISA-L still holds comes out with the next input).
      if (last ? s.internal_state.state == ZSTATE_END : s.avail_in == 0 && s.avail_out > 0) break;
    }
  }

 private:
  std::unique_ptr<isal_zstream> stream_;
  std::vector<std::uint8_t> level_;
};

// The CRC-32 of a zip entry, continued over `size` more bytes.
inline std::uint32_t entryCrc(std::uint32_t crc, const void* data, std::size_t size) {
  return crc32_gzip_refl(crc, static_cast<const unsigned char*>(data), size);
}

}  // namespace bs
