#include "app/thai_text.h"

#include <iconv.h>

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <vector>

namespace bs::app {

namespace {

constexpr bool kLittleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
constexpr const char* kUtf16 = kLittleEndian ? "UTF-16LE" : "UTF-16BE";

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in`; a byte or character the table refuses becomes `replacement` and the
  // conversion goes on.
  std::string run(std::string_view in, std::string_view replacement, std::size_t unitIn) {
    std::string out;
    if (!ok()) return std::string(in);
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> buffer(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
      char* dst = buffer.data();
      std::size_t dstLeft = buffer.size();
      std::size_t r = ::iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer.data(), static_cast<std::size_t>(dst - buffer.data()));
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip one unit of the input.
      std::size_t skip = std::min(unitIn, srcLeft);
      src += skip;
      srcLeft -= skip;
      out.append(replacement);
      ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

QString fromThai(std::string_view bytes) {
  bool ascii = true;
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  thread_local Converter decoder(kUtf16, "CP874");
  std::string utf16 = decoder.run(
      bytes, kLittleEndian ? std::string("\xFD\xFF", 2) : std::string("\xFF\xFD", 2), 1);
  return QString(reinterpret_cast<const QChar*>(utf16.data()),
                 static_cast<qsizetype>(utf16.size() / 2));
}

std::string toThai(const QString& text) {
  bool ascii = true;
  for (QChar c : text)
    if (c.unicode() >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return text.toLatin1().toStdString();
  thread_local Converter encoder("CP874", kUtf16);
  std::string_view in(reinterpret_cast<const char*>(text.utf16()),
                      static_cast<std::size_t>(text.size()) * 2);
  return encoder.run(in, "?", 2);
}

QString fromPath(std::string_view bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string toPath(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

}  // namespace bs::app
