#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform_file.h"

namespace bs {

// The new content of a file, written beside it and swapped in whole.  A crash, a kill or a full
// disk at any moment leaves the file at its path either as it was or complete with its new
// content: the bytes go to a temporary file in the same folder, are forced to disk, and only then
// does a rename put them in place.  Until commit() the target is never touched; a replacement
// that is dropped without commit() removes its temporary file.
// Removes the temporary files that earlier runs left beside `target` of its replacements.
void removeStaleReplacementsOf(const std::string& target);

class ReplacementFile {
 public:
  // Creates the temporary file in the folder of `target` (of the file it points to, when it is a
  // symbolic link), first removing the temporary files that earlier runs left of it unless
  // `sweepStaleTemps` is off (another replacement of the same target is under way).  Throws
  // Failure with the platform's message when that is not possible.
  explicit ReplacementFile(const std::string& target, bool sweepStaleTemps = true);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // From here on the bytes go straight to the disk where the file system allows it, past the
  // page cache: a large file written once and read by nobody soon is then neither copied into
  // memory nor written out from there afterwards.  Each full buffer goes out on a thread of its
  // own while the next one fills; a failed write is thrown by the call after it.  Only before
  // the first byte is written.
  void writeDirectly();

  // Appends bytes through a large buffer.  Throws Failure on a write error (a full disk, say).
  void write(std::string_view bytes);
  // Writes the buffered bytes to the temporary file; from then on through the page cache.
  void flush();
  // Overwrites bytes already written (flushes first).
  void writeAt(std::uint64_t offset, std::string_view bytes);
  // Bytes written so far.
  std::uint64_t size() const { return written_ + buffered_; }

  // The temporary file, for reading back what was written.
  const std::string& tempPath() const { return tempPath_; }

  // Starts writing the bytes written so far to the disk, without waiting for it: a large file
  // then goes to the disk while it is being written rather than all at once when it is forced.
  void startWriteback();
  // Flushes and forces the bytes written so far to the disk, ahead of commit().
  void syncData();

  // Flushes, gives the temporary file the permissions of the file it replaces, forces it to disk
  // and closes it: what is left for commit() is the rename.  Throws Failure naming the target.
  void prepare();
  // prepare(), then renames the temporary file over the target and syncs its folder.  A target
  // that may not be written (marked read-only) is refused and left as it is.
  void commit();
  // Removes the temporary file now, unless it was committed.
  void discard();

 private:
  class WriteBehind;

  [[noreturn]] void writeFailed(int errorNumber);
  // Waits for the buffer going out on the other thread; throws its failure.
  void settle();
  // Writes `size` buffered bytes at the end of what was written.
  void writeOut(std::size_t size);
  // Writes the whole aligned blocks of the buffer straight to the disk and keeps the rest.
  void writeDirectBlocks();

  struct FreeBuffer {
    void operator()(char* p) const noexcept;
  };

  std::string target_;    // as given: the name in messages
  std::string realPath_;  // the path renamed over
  std::string folder_;
  std::string tempPath_;
  UniqueFd fd_;
  // Aligned for writes straight to the disk.
  std::unique_ptr<char[], FreeBuffer> buffer_;
  std::unique_ptr<char[], FreeBuffer> outgoing_;  // the buffer the other thread writes
  std::unique_ptr<WriteBehind> behind_;
  bool inFlight_ = false;
  std::size_t buffered_ = 0;
  bool direct_ = false;
  std::uint64_t written_ = 0;
  std::uint64_t writebackStarted_ = 0;
  bool prepared_ = false;
  bool committed_ = false;
};

}  // namespace bs
