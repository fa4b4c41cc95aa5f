#include "output/replacement_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "core/failure.h"
#include "core/helper_thread.h"

namespace bs {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

}  // namespace

namespace {

// The file a replacement of `target` replaces: the file it points to, when it is a symbolic link.
std::filesystem::path replacedFile(const std::string& target) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path real = target;
  if (fs::is_symlink(fs::symlink_status(real, ec))) {
    fs::path resolved = fs::weakly_canonical(real, ec);
    if (!ec) real = resolved;
  }
  return real;
}

}  // namespace

void removeStaleReplacementsOf(const std::string& target) {
  removeStaleTempsFor(replacedFile(target).string());
}

ReplacementFile::ReplacementFile(const std::string& target, bool sweepStaleTemps)
    : target_(target) {
  namespace fs = std::filesystem;
  const fs::path real = replacedFile(target);
  realPath_ = real.string();
  fs::path folder = real.parent_path();
  folder_ = folder.empty() ? std::string(".") : folder.string();

  const FileType type = fileType(realPath_);
  if (type == FileType::Folder || type == FileType::Other)
    throwNotAFile("Cannot create file", target_, type == FileType::Folder);
  // A file its owner marked read-only is not replaced, although a rename would not ask it.
  if (writeForbidden(realPath_)) throwIoFailure("Cannot create file", target_, EACCES);

  if (sweepStaleTemps) removeStaleTempsFor(realPath_);
  int error = 0;
  fd_ = createTempFor(realPath_, tempPath_, error);
  if (!fd_) throwIoFailure("Cannot create file", target_, error);
  buffer_.reset(static_cast<char*>(std::aligned_alloc(kDirectWriteAlignment, kBufferSize)));
  if (!buffer_) throw std::bad_alloc();
}

void ReplacementFile::FreeBuffer::operator()(char* p) const noexcept {
  std::free(p);
}

// Writes one buffer at a time on a thread of its own.
class ReplacementFile::WriteBehind {
 public:
  explicit WriteBehind(int fd) : fd_(fd) {
    helper_.start([this] { run(); });
  }
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // The bytes stay untouched until wait() returns.
  void start(const char* bytes, std::size_t size, std::uint64_t offset) {
    {
      std::lock_guard lock(helper_.mutex);
      job_ = {bytes, size, offset};
      busy_ = true;
    }
    helper_.changed.notify_all();
  }
  // The error number of the write started last (0 when it went well); `pageCache` tells that the
  // file system refused the direct write and the bytes went through the page cache, as every
  // later write must.
  int wait(bool& pageCache) {
    std::unique_lock lock(helper_.mutex);
    helper_.changed.wait(lock, [&] { return !busy_; });
    pageCache = pageCache_;
    return error_;
  }

 private:
  struct Job {
    const char* bytes = nullptr;
    std::size_t size = 0;
    std::uint64_t offset = 0;
  };

  void run() {
    std::unique_lock lock(helper_.mutex);
    for (;;) {
      helper_.changed.wait(lock, [&] { return helper_.stopped || busy_; });
      if (!busy_) return;
      const Job job = job_;
      lock.unlock();
      int error = writeAllAt(fd_, job.bytes, job.size, job.offset);
      bool pageCache = false;
      if (error == EINVAL && setDirectWrites(fd_, false)) {
        pageCache = true;
        error = writeAllAt(fd_, job.bytes, job.size, job.offset);
      }
      lock.lock();
      error_ = error;
      pageCache_ = pageCache_ || pageCache;
      busy_ = false;
      helper_.changed.notify_all();
    }
  }

  const int fd_;
  Job job_;
  bool busy_ = false;
  int error_ = 0;
  bool pageCache_ = false;
  HelperThread helper_;  // last: stopped before the members it uses go
};

ReplacementFile::~ReplacementFile() {
  behind_.reset();
  discard();
}

void ReplacementFile::discard() {
  if (!committed_ && !tempPath_.empty()) {
    behind_.reset();
    fd_.reset();
    removeFile(tempPath_);
    tempPath_.clear();
  }
}

void ReplacementFile::writeFailed(int errorNumber) {
  throwIoFailure("Write error on file", target_, errorNumber);
}

void ReplacementFile::writeDirectly() {
  if (size() > 0 || direct_) return;
  direct_ = setDirectWrites(fd_.get(), true);
  if (!direct_) return;
  outgoing_.reset(static_cast<char*>(std::aligned_alloc(kDirectWriteAlignment, kBufferSize)));
  if (!outgoing_) throw std::bad_alloc();
  behind_ = std::make_unique<WriteBehind>(fd_.get());
}

void ReplacementFile::settle() {
  if (!inFlight_) return;
  inFlight_ = false;
  bool pageCache = false;
  const int error = behind_->wait(pageCache);
  if (pageCache) direct_ = false;
  if (error != 0) writeFailed(error);
}

void ReplacementFile::write(std::string_view bytes) {
  if (bytes.empty()) return;
  if (direct_) {
    // Everything passes through the aligned buffer, which goes out whenever it is full.
    while (!bytes.empty()) {
      const std::size_t n = std::min(bytes.size(), kBufferSize - buffered_);
      std::memcpy(buffer_.get() + buffered_, bytes.data(), n);
      buffered_ += n;
      bytes.remove_prefix(n);
      if (buffered_ == kBufferSize) writeDirectBlocks();
    }
    return;
  }
  if (buffered_ + bytes.size() > kBufferSize) {
    flush();
    if (bytes.size() >= kBufferSize) {
      if (int error = writeAllAt(fd_.get(), bytes.data(), bytes.size(), written_))
        writeFailed(error);
      written_ += bytes.size();
      return;
    }
  }
  std::memcpy(buffer_.get() + buffered_, bytes.data(), bytes.size());
  buffered_ += bytes.size();
}

void ReplacementFile::writeOut(std::size_t size) {
  if (int error = writeAllAt(fd_.get(), buffer_.get(), size, written_)) {
    // A file system may take some direct writes and refuse others; the page cache takes all.
    if (!direct_ || error != EINVAL) writeFailed(error);
    direct_ = false;
    if (!setDirectWrites(fd_.get(), false)) writeFailed(error);
    if (int again = writeAllAt(fd_.get(), buffer_.get(), size, written_)) writeFailed(again);
  }
  written_ += size;
  buffered_ -= size;
  std::memmove(buffer_.get(), buffer_.get() + size, buffered_);
}

void ReplacementFile::writeDirectBlocks() {
  settle();
  if (direct_ && behind_ && buffered_ == kBufferSize) {
    // The full buffer goes out on the other thread; the next one fills meanwhile.
    std::swap(buffer_, outgoing_);
    behind_->start(outgoing_.get(), kBufferSize, written_);
    inFlight_ = true;
    written_ += kBufferSize;
    buffered_ = 0;
    return;
  }
  const std::size_t whole = direct_ ? buffered_ - buffered_ % kDirectWriteAlignment : buffered_;
  if (whole > 0) writeOut(whole);
}

void ReplacementFile::flush() {
  settle();
  if (direct_) {
    writeDirectBlocks();
    settle();
    // The end of the file and any later change are no whole blocks.
    direct_ = false;
    if (!setDirectWrites(fd_.get(), false)) writeFailed(EINVAL);
  }
  if (buffered_ > 0) writeOut(buffered_);
}

void ReplacementFile::writeAt(std::uint64_t offset, std::string_view bytes) {
  flush();
  if (int error = writeAllAt(fd_.get(), bytes.data(), bytes.size(), offset)) writeFailed(error);
}

void ReplacementFile::startWriteback() {
  if (direct_ || written_ <= writebackStarted_) return;
  // Only a hint: syncData() and prepare() still force the bytes.
  bs::startWriteback(fd_.get(), writebackStarted_, written_ - writebackStarted_);
  writebackStarted_ = written_;
}

void ReplacementFile::syncData() {
  flush();
  if (int error = bs::syncData(fd_.get())) writeFailed(error);
}

void ReplacementFile::prepare() {
  if (prepared_) return;
  flush();
  // The new content gets the permissions of the file it replaces, or those of any other new
  // file of the user.
  if (int error = setModeFor(fd_.get(), realPath_)) writeFailed(error);
  if (int error = syncFile(fd_.get())) writeFailed(error);
  if (int error = fd_.close()) writeFailed(error);
  prepared_ = true;
}

void ReplacementFile::commit() {
  prepare();
  // The target may have been marked read-only since the temporary file was made.
  if (writeForbidden(realPath_)) throwIoFailure("Cannot create file", target_, EACCES);
  if (int error = renameOver(tempPath_, realPath_))
    throwIoFailure("Cannot create file", target_, error);
  committed_ = true;
  // The rename itself is durable only once the folder is.
  if (int error = syncFolder(folder_)) writeFailed(error);
}

}  // namespace bs
