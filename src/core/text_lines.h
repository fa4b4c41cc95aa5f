#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform_file.h"

namespace bs {

// Columns are 1-based and inclusive; a field that reaches past the end of the line is cut there.
inline std::string_view cut(std::string_view line, std::size_t first, std::size_t last) {
  if (first < 1 || first > line.size() || last < first) return {};
  std::size_t end = last < line.size() ? last : line.size();
  return line.substr(first - 1, end - first + 1);
}

// Whether none of the eight bytes at `p` is above 0x20: with the top bit of each byte set aside,
// adding 0x5F sets it exactly for the bytes above 0x20, and no sum carries into the next byte.
inline bool eightBlanks(const char* p) {
  std::uint64_t x = 0;
  std::memcpy(&x, p, sizeof x);
  constexpr std::uint64_t tops = 0x8080808080808080u;
  return ((((x & ~tops) + 0x5F5F5F5F5F5F5F5Fu) | x) & tops) == 0;
}

// Whether every byte has a code of 0x20 or below (trim leaves nothing).
inline bool isBlank(std::string_view text) {
  std::size_t i = 0;
  while (text.size() - i >= 8 && eightBlanks(text.data() + i)) i += 8;
  for (; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) > 0x20) return false;
  return true;
}

// Removes every byte with a code of 0x20 or below at both ends.  Fields are padded with blanks:
// eight are passed over at a time.
inline std::string_view trim(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (e - b >= 8 && eightBlanks(text.data() + b)) b += 8;
  while (b < e && static_cast<unsigned char>(text[b]) <= 0x20) ++b;
  while (e - b >= 8 && eightBlanks(text.data() + e - 8)) e -= 8;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20) --e;
  return text.substr(b, e - b);
}

// The whole of a small file (a settings file, a report template): nothing when there is no file
// of that name.  Throws Failure naming the file when it is a folder, a device or a pipe, cannot
// be read, or is larger than `limit` bytes.
std::optional<std::string> readSmallFile(const std::string& path, std::uint64_t limit);

// How a line read by LineReader ended.
enum class LineEnd {
  Cr,         // a CR alone
  CrLf,       // a CR followed by LF (the LF belongs to the line end)
  EndOfFile,  // the last line, without CR
  Sub,        // a 0x1A byte: it and everything after it are never read
};

// The bytes of a line end as they stand in the file: a 0x1A byte and the end of the file are
// not part of the line.
constexpr std::size_t lineEndSize(LineEnd end) {
  return end == LineEnd::CrLf ? 2 : end == LineEnd::Cr ? 1 : 0;
}

// Reads a payment file one line at a time.  A line ends at CR; an LF directly after the CR
// belongs to the line end; any other LF is an ordinary byte of the line; a 0x1A byte ends the
// file.  The file is read in blocks and at most one line is held in memory, and of a line longer
// than any record only its first kKeptLineBytes bytes: such a line fails the length check
// whatever its tail holds, and a file of one endless line must not fill the memory.  Closes the
// file when destroyed, also when a step fails.
class LineReader {
 public:
  // Comfortably more than the longest record (816).
  static constexpr std::size_t kKeptLineBytes = 4096;

  // Throws Failure with the platform's I/O message when the file cannot be opened, and one naming
  // the file when it is a folder, a device, a pipe or a socket.  With `readAhead`, a large file's
  // blocks are read on a thread of their own while the caller works on the lines before them
  // (for a pass whose work on the lines keeps the calling thread busy).
  explicit LineReader(const std::string& path, bool readAhead = false);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line without its line end; false at the end of the file.  The view stays valid
  // until the next call.  A file that ends in CR or CR LF has no further (empty) line after it;
  // an empty file has no line at all.  Throws Failure on a read error.
  bool next(std::string_view& line);

  // The length of the line last returned as it is in the file; more than the returned line
  // holds when the line was longer than kKeptLineBytes.
  std::uint64_t lineLength() const { return lineLength_; }
  // True when the line last returned holds all of the line.
  bool lineWhole() const { return lineLength_ <= kKeptLineBytes; }
  // For a pass that copies lines: throws Failure naming the file when the line last returned
  // is not whole (the checks passed the file, so it changed since).
  void expectWhole() const;
  // Number of the line last returned, counting from 1.
  long lineNumber() const { return lineNumber_; }
  // How the line last returned ended.
  LineEnd lineEnd() const { return lineEnd_; }
  // Bytes consumed so far (lines and their line ends), for progress reports.
  std::uint64_t bytesRead() const { return consumed_; }
  // Size of the file when it was opened.
  std::uint64_t fileSize() const { return fileSize_; }

 private:
  class BlocksAhead;

  bool fill();
  void keep(const char* bytes, std::size_t n);

  std::string path_;
  UniqueFd fd_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool eof_ = false;
  bool ended_ = false;  // a 0x1A was met, or the end of the data
  std::string carry_;   // a line that spans buffer refills
  std::uint64_t lineLength_ = 0;
  long lineNumber_ = 0;
  LineEnd lineEnd_ = LineEnd::EndOfFile;
  std::uint64_t consumed_ = 0;
  std::uint64_t fileSize_ = 0;
  std::unique_ptr<BlocksAhead> ahead_;  // stops reading before the file is closed
};

}  // namespace bs
