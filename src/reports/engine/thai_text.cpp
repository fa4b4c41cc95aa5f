#include "reports/engine/thai_text.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace bs {

namespace {

// One converter for the life of the program; iconv keeps no state between calls for a
// single-byte table, and the mutex keeps a second thread (a test runner, say) safe.
struct Cp874Converter {
  iconv_t cd = iconv_open("UTF-8", "CP874");
  std::mutex mutex;
  ~Cp874Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};

Cp874Converter& converter() {
  static Cp874Converter c;
  return c;
}

}  // namespace

std::string cp874ToUtf8(std::string_view bytes) {
  std::string out;
  bool ascii = true;
  for (char ch : bytes)
    if (static_cast<unsigned char>(ch) >= 0x80) ascii = false;
  if (ascii) return std::string(bytes);

  Cp874Converter& c = converter();
  std::lock_guard lock(c.mutex);
  out.reserve(bytes.size() * 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char in = bytes[i];
    if (static_cast<unsigned char>(in) < 0x80 || c.cd == reinterpret_cast<iconv_t>(-1)) {
      if (static_cast<unsigned char>(in) < 0x80)
        out += in;
      else
        out += "\xEF\xBF\xBD";
      continue;
    }
    char buffer[8];
    char* inPtr = &in;
    std::size_t inLeft = 1;
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(c.cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
      out += "\xEF\xBF\xBD";  // a byte with no character in the code page
    else
      out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
  }
  return out;
}

QString decodeCp874(std::string_view bytes) {
  std::string utf8 = cp874ToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace bs
