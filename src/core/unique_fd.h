#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace bs {

// Owns a POSIX file descriptor and closes it when it goes out of scope.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_ = -1;
};

// Writes all `size` bytes at `offset`, going on after interrupted and partial writes.  0 when
// done, else the platform's error number.
inline int writeAllAt(int fd, const void* data, std::size_t size, std::uint64_t offset) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return 0;
}

}  // namespace bs
