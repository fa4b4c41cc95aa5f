#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/session.h"
#include "output/archive.h"
#include "output/hashed_output.h"
#include "output/replacement_file.h"

namespace bs {

// The sealed output of a payment file, prepared by two worker threads while the calling thread
// goes on with other work (the validation, the summary).  One worker reads the payment file,
// normalises its lines, writes them behind a reserved hash line into the output's temporary
// file and takes their SHA-1 as they pass; the other deflates the same lines into an unnamed
// scratch file, so that the archive needs no compression of its own once the hash line is known.
//
// Nothing here touches the output's path: the temporary file becomes the output only when the
// caller commits it.  Dropping the preparation stops both workers and removes what they wrote.
class OutputPreparation {
 public:
  // With `asFilled`, the lines are written as the notification fill leaves them, "N" in every
  // blank notification flag: the batch run starts the output before it fills the payment file.
  // The output's temporary file is made at once, and with `asFilled` the stale temporary files
  // of the payment file's replacements are removed first, so that the fill need not remove any
  // while the output is written; a failure to make the file is kept for wait().  With an
  // `archive` name, the worker that finishes last goes on to seal the output ahead: the hash
  // line goes in front, the output is forced to disk and the archive made ready beside `archive`.
  OutputPreparation(std::string paymentFile, std::string outputPath, bool beneChargeFlag,
                    bool asFilled = false, std::string archive = {});
  ~OutputPreparation();
  OutputPreparation(const OutputPreparation&) = delete;
  OutputPreparation& operator=(const OutputPreparation&) = delete;

  // Whether this preparation is of the output the arguments describe.
  bool isFor(const std::string& paymentFile, const std::string& outputPath,
             bool beneChargeFlag) const;

  // Waits until the lines are written and hashed and the deflated copy is done, calling
  // `progress` (bytes of the payment file done, its size) on the calling thread meanwhile.
  // Rethrows the failure that stopped the writing worker, if any.
  void wait(const std::function<void(std::uint64_t, std::uint64_t)>& progress);

  // After wait(): the size of the payment file.
  std::uint64_t paymentSize() const { return total_.load(); }
  // After wait(): the output's temporary file, its first kHashLineSize bytes reserved.
  ReplacementFile& file() { return *file_; }
  // After wait(): the SHA-1 of the normalised lines.
  const Sha1Digest& digest() const { return digest_; }
  // After wait(): the deflated lines, or null when they could not be made (the archive step
  // then deflates the output file itself).
  const DeflatedBody* deflated() const { return deflatedOk_ ? &deflated_ : nullptr; }

  // After wait(): puts the hash line in front of the lines, forces the output to disk and makes
  // its archive ready beside `archive`, unless that was done ahead.  Returns the error number of
  // a temporary file that could no longer be opened (nothing is sealed then), else 0; throws the
  // failure that stopped the sealing, also one met ahead.
  int seal(const std::string& archive);
  // After seal(): the hash line, and the archive made ready.
  const std::string& hashLine() const { return hashLine_; }
  std::unique_ptr<PreparedArchive> takeArchive() { return std::move(preparedArchive_); }

 private:
  class Queue;

  void writeLines();
  void deflateLines();
  void finish();
  void sealAhead();
  // The work of seal().
  int sealInto(const std::string& archive);
  std::unique_ptr<PreparedArchive> makeArchive(const std::string& archive) const;

  const std::string paymentFile_;
  const std::string outputPath_;
  const bool beneChargeFlag_;
  const bool asFilled_;

  std::unique_ptr<Queue> queue_;
  std::atomic<bool> cancelled_{false};
  std::atomic<std::uint64_t> done_{0};
  std::atomic<std::uint64_t> total_{0};

  std::optional<ReplacementFile> file_;
  std::exception_ptr fileError_;  // why file_ could not be made
  Sha1Digest digest_{};
  std::exception_ptr writeError_;

  DeflatedBody deflated_;
  bool deflatedOk_ = false;

  const std::string archive_;  // sealed ahead into this archive, when not empty
  std::atomic<int> workersLeft_{2};
  bool sealedAhead_ = false;
  int scratchError_ = 0;
  std::exception_ptr sealError_;
  std::string hashLine_;
  std::unique_ptr<PreparedArchive> preparedArchive_;

  std::mutex mutex_;
  std::condition_variable finished_;
  int running_ = 0;

  std::thread writer_;
  std::thread deflater_;
};

// Starts preparing the output of the batch the session's form describes, for the output step
// to take over.  `ahead`: the batch run starts it before the notification fill, so the lines are
// written as the fill leaves them, and the output is sealed ahead into the archive of edtZip.
std::unique_ptr<OutputPreparation> startOutputPreparation(const Session& session,
                                                          bool ahead = false);

}  // namespace bs
