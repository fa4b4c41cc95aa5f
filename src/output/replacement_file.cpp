#include "output/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/failure.h"

namespace bs {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

void syncFolder(const std::string& folder) {
  // Makes the rename itself durable.  A file system that cannot sync a folder has already done
  // all it can; the new content is complete either way.
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target) : target_(target) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path real = target;
  if (fs::is_symlink(fs::symlink_status(real, ec))) {
    fs::path resolved = fs::weakly_canonical(real, ec);
    if (!ec) real = resolved;
  }
  realPath_ = real.string();
  fs::path folder = real.parent_path();
  folder_ = folder.empty() ? std::string(".") : folder.string();

  struct stat st {};
  if (::stat(realPath_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    throwIoFailure("Cannot create file", target_, EISDIR);

  std::string pattern =
      (folder.empty() ? fs::path(".") : folder) / ("." + real.filename().string() + ".XXXXXX");
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) throwIoFailure("Cannot create file", target_, errno);
  fd_.reset(fd);
  tempPath_ = name.data();
  buffer_.reserve(kBufferSize);
}

ReplacementFile::~ReplacementFile() {
  if (!committed_ && !tempPath_.empty()) {
    fd_.reset();
    ::unlink(tempPath_.c_str());
  }
}

void ReplacementFile::writeFailed(int errorNumber) {
  throwIoFailure("Write error on file", target_, errorNumber);
}

void ReplacementFile::write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) {
    flush();
    if (bytes.size() >= kBufferSize) {
      if (int error = writeAllAt(fd_.get(), bytes.data(), bytes.size(), written_))
        writeFailed(error);
      written_ += bytes.size();
      return;
    }
  }
  buffer_.append(bytes);
}

void ReplacementFile::flush() {
  if (buffer_.empty()) return;
  if (int error = writeAllAt(fd_.get(), buffer_.data(), buffer_.size(), written_))
    writeFailed(error);
  written_ += buffer_.size();
  buffer_.clear();
}

void ReplacementFile::writeAt(std::uint64_t offset, std::string_view bytes) {
  flush();
  if (int error = writeAllAt(fd_.get(), bytes.data(), bytes.size(), offset)) writeFailed(error);
}

void ReplacementFile::startWriteback() {
#ifdef SYNC_FILE_RANGE_WRITE
  if (written_ <= writebackStarted_) return;
  // Only a hint: where the system cannot do it, syncData() and commit() still force the bytes.
  ::sync_file_range(fd_.get(), static_cast<off_t>(writebackStarted_),
                    static_cast<off_t>(written_ - writebackStarted_), SYNC_FILE_RANGE_WRITE);
  writebackStarted_ = written_;
#endif
}

void ReplacementFile::syncData() {
  flush();
  if (::fdatasync(fd_.get()) != 0) writeFailed(errno);
}

void ReplacementFile::commit() {
  flush();
  struct stat st {};
  if (::stat(realPath_.c_str(), &st) == 0) {
    ::fchmod(fd_.get(), st.st_mode & 07777);
  } else {
    // A new file gets the permissions any other new file of the user gets.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_.get(), 0666 & ~mask);
  }
  if (::fsync(fd_.get()) != 0) writeFailed(errno);
  int fd = fd_.release();
  if (::close(fd) != 0) writeFailed(errno);
  if (::rename(tempPath_.c_str(), realPath_.c_str()) != 0)
    throwIoFailure("Cannot create file", target_, errno);
  committed_ = true;
  syncFolder(folder_);
}

}  // namespace bs
