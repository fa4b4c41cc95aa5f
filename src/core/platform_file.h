#pragma once

// The operating system's file calls, in one place: opening, reading and writing at an offset,
// forcing to disk, temporary files beside a target, renaming over a file, folder syncs, file
// types and permissions.  Everything else reaches files through these functions, so that a port
// to another system replaces this file and its implementation only.
//
// Functions that can fail return 0 or the platform's error number (errno); they never throw.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace bs {

// Closes `fd`; 0 or the error number of the close.
int closeFd(int fd);

// Owns a file descriptor and closes it when it goes out of scope.  close() reports the result of
// the close, for files whose content matters.
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
    if (fd_ >= 0) (void)closeFd(fd_);
    fd_ = fd;
  }
  int release() { return std::exchange(fd_, -1); }
  // Closes the file now; 0 or the error number.
  int close() { return fd_ >= 0 ? closeFd(std::exchange(fd_, -1)) : 0; }

 private:
  int fd_ = -1;
};

enum class FileType { Missing, Regular, Folder, Other };

// The type of what `path` names, following symbolic links.  `Other` is a device, a pipe or a
// socket: nothing a payment file, a template or a table file can be.
FileType fileType(const std::string& path);
// True when `path` is itself a symbolic link.
bool isSymlink(const std::string& path);

// Opens a regular file for reading without ever blocking on a pipe or a device.  Returns the
// descriptor; on failure an empty one and `error` holds the error number (EISDIR for a folder,
// ENODEV for a device, a pipe or a socket).
UniqueFd openForReading(const std::string& path, int& error);
// Opens a folder for reading its entries or syncing it.
UniqueFd openFolder(const std::string& path, int& error);

// The modification time (seconds since 1970) and permission bits of what `path` names.
struct FileFacts {
  long long mtime = 0;
  unsigned mode = 0;
};
bool fileFacts(const std::string& path, FileFacts& facts);

// What tells one state of a file from another without reading it: its identity, size and the
// times of its last content and status changes, to the nanosecond.  Any write to the file, or
// another file renamed over it, gives a different fingerprint.
struct FileFingerprint {
  std::uint64_t device = 0, inode = 0, size = 0;
  long long mtimeNs = 0, ctimeNs = 0;
  bool operator==(const FileFingerprint&) const = default;
};
// False when `path` cannot be looked at.
bool fileFingerprint(const std::string& path, FileFingerprint& fingerprint);

// The size of an open file.
std::uint64_t fileSizeOf(int fd);

// Reads up to `size` bytes at the file position (readSome) or at `offset` (readAt), going on
// after interruptions: the byte count, 0 at the end, or minus the error number.
long long readSome(int fd, void* data, std::size_t size);
long long readAt(int fd, void* data, std::size_t size, std::uint64_t offset);
// Writes all `size` bytes at `offset`, going on after interrupted and partial writes.
int writeAllAt(int fd, const void* data, std::size_t size, std::uint64_t offset);
// Writes all `size` bytes at the file position.
int writeAll(int fd, const void* data, std::size_t size);

// Forces the content and the size (syncData) or everything about the file (syncFile) to disk.
int syncData(int fd);
int syncFile(int fd);
// Starts writing a range to disk without waiting: only a hint.
void startWriteback(int fd, std::uint64_t offset, std::uint64_t size);

// Drops the cached pages of a file that is about to be replaced: only a hint, nothing happens
// when the file cannot be opened.  A large file's pages are otherwise dropped by the rename that
// replaces it, while the caller waits.
void dropCachedPages(const std::string& path);

// Gives the calling thread a slightly lower priority than the thread that started it: for a
// worker with time to spare beside a thread the user waits on, which on a machine with fewer
// cores than busy threads then comes first.  Only a hint.
void yieldToStartingThread();

// Writes that go straight to the disk, past the page cache, must start at a multiple of this
// many bytes, span a multiple of it and come from memory aligned alike.
inline constexpr std::size_t kDirectWriteAlignment = 4096;
// Lets the writes to `fd` go straight to the disk (on) or through the page cache again (off);
// false when the file system does not allow it.
bool setDirectWrites(int fd, bool on);
// Makes the renames and removals in a folder durable.
int syncFolder(const std::string& folder);

// The folder of `path` ("." for a bare name).
std::string folderOf(const std::string& path);
// The bare name of `path`.
std::string baseNameOf(const std::string& path);

// Temporary files are named ".NAME.bstmp-XXXXXX" beside the file NAME they stand in for, so
// that one left by a killed run is told apart from any file of the user and removed later.
inline constexpr const char* kTempMark = ".bstmp-";
// Creates a temporary file for `target` in the folder of `target`, readable and writable by the
// owner only until setModeFor().  `tempPath` receives its name.
UniqueFd createTempFor(const std::string& target, std::string& tempPath, int& error);
// An unnamed scratch file in `folder`, gone when it is closed.
UniqueFd createScratch(const std::string& folder, int& error);
// Removes the temporary files of the program's own naming left beside `target` by an earlier
// run that did not end; other files are never touched.
void removeStaleTempsFor(const std::string& target);
// Removes the files in `folder` whose names satisfy `stale`.
void removeFilesIn(const std::string& folder, const std::function<bool(const std::string&)>& stale);

// Gives the open file `fd` the permissions of `target`, or those of a new file of the user when
// `target` does not exist.
int setModeFor(int fd, const std::string& target);
// True when `path` exists and may not be written: its permission bits allow nobody to write it,
// or the user running the program may not.  A file marked read-only means "do not change it",
// whoever runs the program.
bool writeForbidden(const std::string& path);

// Renames `from` over `to` in one step.
int renameOver(const std::string& from, const std::string& to);
// Removes a file; 0 also when it was already gone.
int removeFile(const std::string& path);

// Whether standard error is a terminal.
bool stderrIsTerminal();

// For fault-injection tests: when set, every file call above that can fail asks it first, with
// the call's name, and fails with the error number it returns (0: the call goes ahead).
void setFileFaultHook(std::function<int(const char* call)> hook);

}  // namespace bs
