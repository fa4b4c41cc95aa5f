#include "core/text_lines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/failure.h"

namespace bs {

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kSub = '\x1A';
}  // namespace

LineReader::LineReader(const std::string& path) : path_(path), buffer_(kBlockSize) {
  int error = 0;
  fd_ = openForReading(path, error);
  if (!fd_) throwOpenFailure(path, error);
  fileSize_ = fileSizeOf(fd_.get());
}

void LineReader::keep(const char* bytes, std::size_t n) {
  if (carry_.size() < kKeptLineBytes)
    carry_.append(bytes, std::min(n, kKeptLineBytes - carry_.size()));
  lineLength_ += n;
}

std::optional<std::string> readSmallFile(const std::string& path, std::uint64_t limit) {
  int error = 0;
  UniqueFd fd = openForReading(path, error);
  if (error == ENOENT) return std::nullopt;
  if (!fd) throwOpenFailure(path, error);
  std::string text;
  char block[1 << 16];
  for (;;) {
    long long n = readSome(fd.get(), block, sizeof block);
    if (n < 0) throwIoFailure("Read error on file", path, static_cast<int>(-n));
    if (n == 0) return text;
    if (text.size() + static_cast<std::uint64_t>(n) > limit)
      throw Failure("Cannot open file \"" + path + "\". It is larger than " +
                    std::to_string(limit / (1 << 20)) + " MB, too large for a file of its kind.");
    text.append(block, static_cast<std::size_t>(n));
  }
}

void LineReader::expectWhole() const {
  if (!lineWhole())
    throw Failure("Cannot read file \"" + path_ + "\". Line " + std::to_string(lineNumber_) +
                  " is longer than any record: the file changed while it was being read.");
}

bool LineReader::fill() {
  if (eof_) return false;
  long long n = readSome(fd_.get(), buffer_.data(), buffer_.size());
  if (n < 0) throwIoFailure("Read error on file", path_, static_cast<int>(-n));
  pos_ = 0;
  len_ = static_cast<std::size_t>(n);
  const void* sub = std::memchr(buffer_.data(), kSub, len_);
  subPos_ = sub ? static_cast<std::size_t>(static_cast<const char*>(sub) - buffer_.data()) : len_;
  if (n == 0) eof_ = true;
  return n > 0;
}

bool LineReader::next(std::string_view& line) {
  if (ended_) return false;
  carry_.clear();
  lineLength_ = 0;
  bool carrying = false;
  for (;;) {
    if (pos_ >= len_ && !fill()) {
      // End of the data: the pending bytes form the last line, if there are any.
      ended_ = true;
      if (!carrying) return false;
      lineEnd_ = LineEnd::EndOfFile;
      ++lineNumber_;
      line = carry_;
      return true;
    }
    const char* begin = buffer_.data() + pos_;
    std::size_t avail = len_ - pos_;
    // The first 0x1A of the block is found once per block; lines are then cut at CR with
    // memchr, which keeps the pass at memory speed on long records.
    const std::size_t beforeSub = subPos_ > pos_ ? subPos_ - pos_ : 0;
    const char* stop = static_cast<const char*>(std::memchr(begin, kCr, beforeSub));
    if (stop == nullptr && subPos_ < len_) stop = buffer_.data() + subPos_;
    if (stop == nullptr) {
      keep(begin, avail);
      consumed_ += avail;
      pos_ = len_;
      carrying = true;
      continue;
    }
    std::size_t n = static_cast<std::size_t>(stop - begin);
    bool useCarry = carrying;
    if (useCarry)
      keep(begin, n);
    else
      lineLength_ = n;
    std::string_view body =
        useCarry ? std::string_view(carry_) : std::string_view(begin, std::min(n, kKeptLineBytes));
    consumed_ += n + 1;
    pos_ += n + 1;
    if (*stop == kSub) {
      ended_ = true;
      if (n == 0 && !carrying) return false;
      lineEnd_ = LineEnd::Sub;
      ++lineNumber_;
      if (!useCarry) {
        carry_.assign(body);
        body = carry_;
      }
      line = body;
      return true;
    }
    // A CR: swallow an LF that follows it, also across a buffer refill.
    if (!useCarry) {
      // Keep the line in carry_ if the refill below would overwrite the buffer.
      if (pos_ >= len_) {
        carry_.assign(body);
        body = carry_;
      }
    }
    lineEnd_ = LineEnd::Cr;
    if (pos_ >= len_) fill();
    if (pos_ < len_ && buffer_[pos_] == kLf) {
      ++pos_;
      ++consumed_;
      lineEnd_ = LineEnd::CrLf;
    }
    ++lineNumber_;
    line = body;
    return true;
  }
}

}  // namespace bs
