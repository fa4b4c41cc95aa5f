#include "core/platform_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace bs {

namespace {

std::function<int(const char*)>& faultHook() {
  static std::function<int(const char*)> hook;
  return hook;
}

// The error number a fault-injection test asks for, else 0.
int injected(const char* call) {
  const auto& hook = faultHook();
  return hook ? hook(call) : 0;
}

bool isTempSuffix(std::string_view s) {
  if (s.size() != 6) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  return true;
}

}  // namespace

void setFileFaultHook(std::function<int(const char*)> hook) {
  faultHook() = std::move(hook);
}

int closeFd(int fd) {
  if (int e = injected("close")) {
    ::close(fd);
    return e;
  }
  // The descriptor is gone after an interrupted close as well; it is never closed twice.
  return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
}

FileType fileType(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return FileType::Missing;
  if (S_ISREG(st.st_mode)) return FileType::Regular;
  if (S_ISDIR(st.st_mode)) return FileType::Folder;
  return FileType::Other;
}

bool isSymlink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

UniqueFd openForReading(const std::string& path, int& error) {
  error = injected("open");
  if (error) return UniqueFd();
  // Non-blocking, so that a pipe without a writer does not hang the open; the type is checked
  // before a byte is read.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd) {
    error = errno;
    return fd;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    error = errno;
    return UniqueFd();
  }
  if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
    return UniqueFd();
  }
  int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  error = 0;
  return fd;
}

UniqueFd openFolder(const std::string& path, int& error) {
  error = injected("open");
  if (error) return UniqueFd();
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  error = fd ? 0 : errno;
  return fd;
}

bool fileFacts(const std::string& path, FileFacts& facts) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  facts.mtime = static_cast<long long>(st.st_mtime);
  facts.mode = static_cast<unsigned>(st.st_mode);
  return true;
}

bool fileFingerprint(const std::string& path, FileFingerprint& fingerprint) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  fingerprint.device = static_cast<std::uint64_t>(st.st_dev);
  fingerprint.inode = static_cast<std::uint64_t>(st.st_ino);
  fingerprint.size = static_cast<std::uint64_t>(st.st_size);
  fingerprint.mtimeNs =
      static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  fingerprint.ctimeNs =
      static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
  return true;
}

std::uint64_t fileSizeOf(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

long long readSome(int fd, void* data, std::size_t size) {
  if (int e = injected("read")) return -e;
  for (;;) {
    ssize_t n = ::read(fd, data, size);
    if (n >= 0) return n;
    if (errno != EINTR) return -errno;
  }
}

long long readAt(int fd, void* data, std::size_t size, std::uint64_t offset) {
  if (int e = injected("read")) return -e;
  for (;;) {
    ssize_t n = ::pread(fd, data, size, static_cast<off_t>(offset));
    if (n >= 0) return n;
    if (errno != EINTR) return -errno;
  }
}

int writeAllAt(int fd, const void* data, std::size_t size, std::uint64_t offset) {
  if (int e = injected("write")) return e;
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

int writeAll(int fd, const void* data, std::size_t size) {
  if (int e = injected("write")) return e;
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

int syncData(int fd) {
  if (int e = injected("fdatasync")) return e;
  return ::fdatasync(fd) == 0 ? 0 : errno;
}

int syncFile(int fd) {
  if (int e = injected("fsync")) return e;
  return ::fsync(fd) == 0 ? 0 : errno;
}

void startWriteback(int fd, std::uint64_t offset, std::uint64_t size) {
#ifdef SYNC_FILE_RANGE_WRITE
  ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(size),
                    SYNC_FILE_RANGE_WRITE);
#else
  (void)fd, (void)offset, (void)size;
#endif
}

void dropCachedPages(const std::string& path) {
  int error = 0;
  UniqueFd fd = openForReading(path, error);
#ifdef POSIX_FADV_DONTNEED
  if (fd) ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_DONTNEED);
#endif
}

void yieldToStartingThread() {
#if defined(__linux__)
  // On Linux the nice value is each thread's own.  Three steps give the thread about half the
  // share of the one that started it.
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), ::getpriority(PRIO_PROCESS, 0) + 3);
#endif
}

bool setDirectWrites(int fd, bool on) {
#ifdef O_DIRECT
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  return ::fcntl(fd, F_SETFL, on ? (flags | O_DIRECT) : (flags & ~O_DIRECT)) == 0;
#else
  return !on;
#endif
}

int syncFolder(const std::string& folder) {
  int error = 0;
  UniqueFd fd = openFolder(folder, error);
  if (!fd) return error;
  if (int e = injected("fsync")) return e;
  if (::fsync(fd.get()) != 0) {
    // A file system that cannot sync a folder at all has done what it can.
    if (errno != EINVAL && errno != ENOTSUP) return errno;
  }
  return fd.close();
}

std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

UniqueFd createTempFor(const std::string& target, std::string& tempPath, int& error) {
  error = injected("mkstemp");
  if (error) return UniqueFd();
  std::string folder = folderOf(target);
  std::string pattern = folder + "/." + baseNameOf(target) + kTempMark + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
  if (!fd) {
    error = errno;
    return fd;
  }
  tempPath = name.data();
  return fd;
}

UniqueFd createScratch(const std::string& folder, int& error) {
  error = injected("mkstemp");
  if (error) return UniqueFd();
#ifdef O_TMPFILE
  UniqueFd fd(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  if (fd) return fd;
#endif
  std::string path;
  fd = createTempFor(folder + "/scratch", path, error);
  if (fd) ::unlink(path.c_str());
  return fd;
}

void removeFilesIn(const std::string& folder,
                   const std::function<bool(const std::string&)>& stale) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> doomed;
  while (const dirent* e = ::readdir(dir))
    if (stale(e->d_name)) doomed.emplace_back(e->d_name);
  ::closedir(dir);
  for (const auto& name : doomed) {
    std::string path = folder + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
}

void removeStaleTempsFor(const std::string& target) {
  // ".NAME.bstmp-XXXXXX", and the archive engine's own ".NAME.bstmp-XXXXXX.XXXXXX" made while it
  // writes one of them.
  std::string stem = ".";
  stem += baseNameOf(target);
  stem += kTempMark;
  removeFilesIn(folderOf(target), [&](const std::string& name) {
    if (name.compare(0, stem.size(), stem) != 0) return false;
    std::string_view rest = std::string_view(name).substr(stem.size());
    if (isTempSuffix(rest)) return true;
    return rest.size() == 13 && rest[6] == '.' && isTempSuffix(rest.substr(0, 6)) &&
           isTempSuffix(rest.substr(7));
  });
}

int setModeFor(int fd, const std::string& target) {
  struct stat st {};
  mode_t mode;
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

bool writeForbidden(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

int renameOver(const std::string& from, const std::string& to) {
  if (int e = injected("rename")) return e;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int removeFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return 0;
  return errno;
}

bool stderrIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace bs
