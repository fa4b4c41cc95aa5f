#include "output/seal_verify.h"

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include "core/failure.h"
#include "core/platform_file.h"
#include "output/hashed_output.h"

namespace bs {

namespace {

// Reads up to `size` bytes; 0 at the end; -1 with a message on an error.
using ReadFn = std::function<long(unsigned char* data, std::size_t size, std::string& error)>;

bool isHashLine(const unsigned char* line, std::size_t size) {
  if (size != kHashLineSize || line[40] != '\r' || line[41] != '\n') return false;
  for (std::size_t i = 0; i < 40; ++i) {
    unsigned char c = line[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

SealCheck checkStream(const std::string& what, const ReadFn& read) {
  SealCheck result;
  std::string error;
  unsigned char head[kHashLineSize];
  std::size_t got = 0;
  while (got < sizeof head) {
    long n = read(head + got, sizeof head - got, error);
    if (n < 0) {
      result.message = "Cannot read " + what + ": " + error;
      return result;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (!isHashLine(head, got)) {
    result.message = "The seal does not hold: the first line of " + what +
                     " is not 40 upper-case hexadecimal digits followed by CR LF.";
    return result;
  }
  result.hashLine.assign(reinterpret_cast<const char*>(head), 40);

  Sha1Digest digest{};
  try {
    Sha1 sha1;
    std::unique_ptr<unsigned char[]> block(new unsigned char[1 << 16]);
    for (;;) {
      long n = read(block.get(), 1 << 16, error);
      if (n < 0) {
        result.message = "Cannot read " + what + ": " + error;
        return result;
      }
      if (n == 0) break;
      sha1.update(block.get(), static_cast<std::size_t>(n));
    }
    digest = sha1.digest();
  } catch (const Failure& f) {
    result.message = f.message();
    return result;
  }
  result.computed = hexDigest(digest);
  result.holds = result.computed == result.hashLine;
  result.message = result.holds ? "The seal holds: " + result.hashLine
                                : "The seal does not hold: the first line says " + result.hashLine +
                                      ", the records hash to " + result.computed + ".";
  return result;
}

bool looksLikeZip(int fd) {
  unsigned char magic[4];
  long long n = readAt(fd, magic, sizeof magic, 0);
  return n == 4 && magic[0] == 'P' && magic[1] == 'K' &&
         ((magic[2] == 3 && magic[3] == 4) || (magic[2] == 5 && magic[3] == 6));
}

SealCheck checkArchive(const std::string& path) {
  SealCheck result;
  int code = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!za) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    result.message = "Cannot open archive " + path + ": " + zip_error_strerror(&error);
    zip_error_fini(&error);
    return result;
  }
  std::unique_ptr<zip_t, decltype(&zip_discard)> archive(za, &zip_discard);
  zip_int64_t count = zip_get_num_entries(za, 0);
  if (count != 1) {
    result.message = "The archive holds " + std::to_string(count) +
                     " entries; a sealed archive holds exactly one.";
    return result;
  }
  zip_file_t* entry = zip_fopen_index(za, 0, 0);
  if (!entry) {
    result.message = "Cannot read archive " + path + ": " + zip_strerror(za);
    return result;
  }
  std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(entry, &zip_fclose);
  std::string name = zip_get_name(za, 0, 0) ? zip_get_name(za, 0, 0) : "";
  // zip_fread checks the entry's CRC when it reaches the end.
  return checkStream("entry " + name,
                     [&](unsigned char* data, std::size_t size, std::string& error) -> long {
                       zip_int64_t n = zip_fread(file.get(), data, size);
                       if (n < 0) error = zip_file_strerror(file.get());
                       return static_cast<long>(n);
                     });
}

}  // namespace

SealCheck verifySeal(const std::string& path) {
  int error = 0;
  UniqueFd fd = openForReading(path, error);
  if (!fd) {
    SealCheck result;
    result.message = "Cannot open file " + path + ": " + std::strerror(error);
    return result;
  }
  if (looksLikeZip(fd.get())) return checkArchive(path);
  return checkStream(path, [&](unsigned char* data, std::size_t size, std::string& error) -> long {
    long long n = readSome(fd.get(), data, size);
    if (n < 0) error = std::strerror(static_cast<int>(-n));
    return static_cast<long>(n);
  });
}

}  // namespace bs
