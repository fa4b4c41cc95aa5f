#include "core/cp874.h"

#include <iconv.h>

#include <array>
#include <cerrno>

namespace bs {

namespace {

// Windows-874 is a single-byte code: one table of 256 code points, read once from iconv.
const std::array<char32_t, 256>& decodeTable() {
  static const std::array<char32_t, 256> table = [] {
    std::array<char32_t, 256> t{};
    iconv_t cd = iconv_open("UTF-32LE", "CP874");
    for (int b = 0; b < 256; ++b) {
      t[static_cast<std::size_t>(b)] = b < 0x80 ? static_cast<char32_t>(b) : 0xFFFD;
      if (cd == reinterpret_cast<iconv_t>(-1) || b < 0x80) continue;
      char in = static_cast<char>(b);
      unsigned char out[8] = {};
      char* inp = &in;
      std::size_t inLeft = 1;
      char* outp = reinterpret_cast<char*>(out);
      std::size_t outLeft = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1) &&
          outLeft == sizeof out - 4) {
        t[static_cast<std::size_t>(b)] =
            static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24));
      }
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    return t;
  }();
  return table;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string cp874ToUtf8(std::string_view bytes) {
  const auto& table = decodeTable();
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    auto u = static_cast<unsigned char>(b);
    if (u < 0x80)
      out.push_back(b);
    else
      appendUtf8(out, table[u]);
  }
  return out;
}

std::string utf8ToCp874(std::string_view text) {
  const auto& table = decodeTable();
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    auto c0 = static_cast<unsigned char>(text[i]);
    char32_t cp = 0;
    std::size_t len = 1;
    if (c0 < 0x80) {
      cp = c0;
    } else if ((c0 >> 5) == 0x6 && i + 1 < text.size()) {
      cp = ((c0 & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
      len = 2;
    } else if ((c0 >> 4) == 0xE && i + 2 < text.size()) {
      cp = ((c0 & 0x0F) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6) |
           (static_cast<unsigned char>(text[i + 2]) & 0x3F);
      len = 3;
    } else if ((c0 >> 3) == 0x1E && i + 3 < text.size()) {
      cp = ((c0 & 0x07) << 18) | ((static_cast<unsigned char>(text[i + 1]) & 0x3F) << 12) |
           ((static_cast<unsigned char>(text[i + 2]) & 0x3F) << 6) |
           (static_cast<unsigned char>(text[i + 3]) & 0x3F);
      len = 4;
    } else {
      cp = 0xFFFD;
    }
    i += len;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char byte = '?';
    for (int b = 0x80; b < 256; ++b)
      if (table[static_cast<std::size_t>(b)] == cp) {
        byte = static_cast<char>(b);
        break;
      }
    out.push_back(byte);
  }
  return out;
}

}  // namespace bs
