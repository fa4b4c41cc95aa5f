#include "core/text_lines.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/failure.h"
#include "core/helper_thread.h"

namespace bs {

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
// Read ahead, blocks are larger: each one passes from thread to thread.
constexpr std::size_t kAheadBlockSize = std::size_t{1} << 18;
constexpr std::uint64_t kReadAheadFrom = std::uint64_t{4} << 20;
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kSub = '\x1A';

// The first CR or 0x1A byte in [p, end), or nullptr: the one scan that cuts lines, 64 bytes a
// step where the processor compares 16 at once.
const char* findLineStop(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8(kCr);
  const __m128i sub = _mm_set1_epi8(kSub);
  const auto stops = [&](const char* at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, sub));
  };
  while (end - p >= 64) {
    const __m128i any = _mm_or_si128(_mm_or_si128(stops(p), stops(p + 16)),
                                     _mm_or_si128(stops(p + 32), stops(p + 48)));
    if (_mm_movemask_epi8(any) != 0) break;
    p += 64;
  }
  while (end - p >= 16) {
    const int mask = _mm_movemask_epi8(stops(p));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  for (; p < end; ++p)
    if (*p == kCr || *p == kSub) return p;
  return nullptr;
}
}  // namespace

// Reads the blocks of a file in order on a thread of its own, a few blocks ahead of the reader
// that takes them.
class LineReader::BlocksAhead {
 public:
  explicit BlocksAhead(int fd) : fd_(fd) {
    for (std::size_t i = 0; i < kBlocks; ++i) free_.emplace_back(kAheadBlockSize);
    helper_.start([this] { run(); });
  }
  BlocksAhead(const BlocksAhead&) = delete;
  BlocksAhead& operator=(const BlocksAhead&) = delete;

  // Swaps `block` for the next block of the file; the bytes it holds, 0 at the end of the file,
  // or the negative error number of a failed read.
  long long next(std::vector<char>& block) {
    std::unique_lock lock(helper_.mutex);
    helper_.changed.wait(lock, [&] { return !ready_.empty(); });
    Block taken = std::move(ready_.front());
    ready_.pop_front();
    if (block.size() == kAheadBlockSize) free_.push_back(std::move(block));
    block = std::move(taken.bytes);
    helper_.changed.notify_all();
    return taken.size;
  }

 private:
  static constexpr std::size_t kBlocks = 4;

  struct Block {
    std::vector<char> bytes;
    long long size = 0;
  };

  void run() {
    for (;;) {
      std::vector<char> bytes;
      {
        std::unique_lock lock(helper_.mutex);
        helper_.changed.wait(lock, [&] { return helper_.stopped || !free_.empty(); });
        if (helper_.stopped) return;
        bytes = std::move(free_.back());
        free_.pop_back();
      }
      const long long n = readSome(fd_, bytes.data(), bytes.size());
      {
        std::lock_guard lock(helper_.mutex);
        ready_.push_back({std::move(bytes), n});
      }
      helper_.changed.notify_all();
      // The end of the file or a failed read is the last block.
      if (n <= 0) return;
    }
  }

  const int fd_;
  std::deque<Block> ready_;
  std::vector<std::vector<char>> free_;
  HelperThread helper_;  // last: stopped before the members it uses go
};

LineReader::LineReader(const std::string& path, bool readAhead) : path_(path), buffer_(kBlockSize) {
  int error = 0;
  fd_ = openForReading(path, error);
  if (!fd_) throwOpenFailure(path, error);
  fileSize_ = fileSizeOf(fd_.get());
  // A small file is read at once.
  if (readAhead && fileSize_ >= kReadAheadFrom) ahead_ = std::make_unique<BlocksAhead>(fd_.get());
}

LineReader::~LineReader() = default;

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
  long long n =
      ahead_ ? ahead_->next(buffer_) : readSome(fd_.get(), buffer_.data(), buffer_.size());
  if (n < 0) throwIoFailure("Read error on file", path_, static_cast<int>(-n));
  pos_ = 0;
  len_ = static_cast<std::size_t>(n);
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
    const char* stop = findLineStop(begin, begin + avail);
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
