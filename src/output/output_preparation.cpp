#include "output/output_preparation.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <vector>

#include "core/failure.h"
#include "core/platform_file.h"
#include "core/prechecks.h"
#include "core/text_lines.h"
#include "output/raw_deflate.h"

namespace bs {

namespace {

// The normalised lines travel from the writer to the deflater in pieces of this size; a few of
// them in flight bound the memory whatever the size of the file.
constexpr std::size_t kPieceSize = 1 << 20;
constexpr std::size_t kPiecesInFlight = 4;
constexpr std::size_t kDeflateOut = std::size_t{256} * 1024;

// An unnamed file in `folder` (the output's, so that it shares its disk), gone when closed.
UniqueFd unnamedScratch(const std::string& folder) {
  int error = 0;
  UniqueFd fd = createScratch(folder, error);
  if (!fd) throwIoFailure("Cannot create the archive's scratch file in", folder, error);
  return fd;
}

}  // namespace

// Pieces of normalised lines from the writer to the deflater, at most kPiecesInFlight at a time.
// Once closed, no piece is taken any more and the writer no longer waits for room.
class OutputPreparation::Queue {
 public:
  // False when the queue is closed: the piece is not wanted.
  bool push(std::string&& piece) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return closed_ || pieces_.size() < kPiecesInFlight; });
    if (closed_) return false;
    pieces_.push_back(std::move(piece));
    ready_.notify_one();
    return true;
  }
  // The last piece is followed by finish(); false when there is no further piece.
  bool pop(std::string& piece) {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return closed_ || finished_ || !pieces_.empty(); });
    if (closed_ || pieces_.empty()) return false;
    piece = std::move(pieces_.front());
    pieces_.pop_front();
    room_.notify_one();
    return true;
  }
  // No further piece will come; those queued are still taken.
  void finish() {
    std::lock_guard lock(mutex_);
    finished_ = true;
    ready_.notify_all();
  }
  // Drops what is queued and wakes both sides.
  void close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    pieces_.clear();
    ready_.notify_all();
    room_.notify_all();
  }
  bool wasClosed() {
    std::lock_guard lock(mutex_);
    return closed_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::deque<std::string> pieces_;
  bool finished_ = false;
  bool closed_ = false;
};

OutputPreparation::OutputPreparation(std::string paymentFile, std::string outputPath,
                                     bool beneChargeFlag, bool asFilled, std::string archive)
    : paymentFile_(std::move(paymentFile)),
      outputPath_(std::move(outputPath)),
      beneChargeFlag_(beneChargeFlag),
      asFilled_(asFilled),
      queue_(std::make_unique<Queue>()),
      archive_(std::move(archive)) {
  try {
    if (asFilled_) removeStaleReplacementsOf(paymentFile_);
    file_.emplace(outputPath_);
  } catch (...) {
    fileError_ = std::current_exception();
  }
  running_ = 2;
  writer_ = std::thread([this] { writeLines(); });
  deflater_ = std::thread([this] { deflateLines(); });
}

OutputPreparation::~OutputPreparation() {
  cancelled_ = true;
  queue_->close();
  if (writer_.joinable()) writer_.join();
  if (deflater_.joinable()) deflater_.join();
  if (deflated_.fd >= 0) closeFd(deflated_.fd);
  // file_ goes with its temporary file unless it was committed.
}

bool OutputPreparation::isFor(const std::string& paymentFile, const std::string& outputPath,
                              bool beneChargeFlag) const {
  return paymentFile == paymentFile_ && outputPath == outputPath_ &&
         beneChargeFlag == beneChargeFlag_;
}

void OutputPreparation::finish() {
  if (--workersLeft_ == 0 && !archive_.empty()) sealAhead();
  std::lock_guard lock(mutex_);
  --running_;
  finished_.notify_all();
}

void OutputPreparation::writeLines() {
  // The calling thread goes on with the validation and the summary, which take longer.
  yieldToStartingThread();
  try {
    LineReader reader(paymentFile_);
    total_ = reader.fileSize();
    if (fileError_) std::rethrow_exception(fileError_);
    ReplacementFile& out = *file_;
    // The output is written once and only its first block is read again here; a copy of it in
    // memory would cost as much again as the writing.
    out.writeDirectly();
    out.write(std::string(kHashLineSize - 2, '0') + "\r\n");

    Sha1 sha1;

    bool deflaterWants = true;
    std::string piece;
    piece.reserve(kPieceSize + 4096);
    auto pass = [&] {
      sha1.update(piece.data(), piece.size());
      out.write(piece);
      out.startWriteback();
      if (deflaterWants) {
        deflaterWants = queue_->push(std::move(piece));
        piece = std::string();
        piece.reserve(kPieceSize + 4096);
      } else {
        piece.clear();
      }
      done_ = reader.bytesRead();
    };

    std::string_view line;
    std::string filled;
    while (reader.next(line)) {
      reader.expectWhole();
      normaliseLine(asFilled_ ? asFilled(line, filled) : line, beneChargeFlag_, piece);
      piece.append("\r\n");
      if (piece.size() >= kPieceSize) {
        if (cancelled_) return finish();
        pass();
      }
    }
    if (!piece.empty()) pass();
    queue_->finish();

    digest_ = sha1.digest();
    // The lines go to the disk now, while the caller is still busy; the commit then has little
    // left to force.
    out.syncData();
    done_ = total_.load();
  } catch (...) {
    writeError_ = std::current_exception();
    queue_->close();
  }
  finish();
}

void OutputPreparation::deflateLines() {
  yieldToStartingThread();
  try {
    UniqueFd scratch = unnamedScratch(folderOf(outputPath_));
    FastRawDeflate deflater;
    std::vector<unsigned char> out(kDeflateOut);
    std::uint64_t written = 0;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;

    auto sink = [&](const unsigned char* data, std::size_t have) {
      if (writeAllAt(scratch.get(), data, have, written) != 0)
        throw Failure("Write error on the archive's scratch file");
      written += have;
    };

    std::string piece;
    while (queue_->pop(piece)) {
      const auto* bytes = reinterpret_cast<const unsigned char*>(piece.data());
      crc = entryCrc(crc, bytes, piece.size());
      size += piece.size();
      deflater.add(bytes, piece.size(), false, out, sink);
    }
    if (queue_->wasClosed() || cancelled_) throw Failure("stopped");
    deflater.add(nullptr, 0, true, out, sink);

    deflated_.fd = scratch.release();
    deflated_.deflatedSize = written;
    deflated_.size = size;
    deflated_.crc = crc;
    deflatedOk_ = true;
  } catch (...) {
    // Without the deflated copy the archive step deflates the output file itself.
    queue_->close();
  }
  finish();
}

void OutputPreparation::sealAhead() {
  if (cancelled_ || writeError_) return;
  sealedAhead_ = true;
  try {
    scratchError_ = sealInto(archive_);
  } catch (...) {
    sealError_ = std::current_exception();
  }
}

int OutputPreparation::seal(const std::string& archive) {
  if (!sealedAhead_) return sealInto(archive);
  if (sealError_) std::rethrow_exception(sealError_);
  if (scratchError_ == 0 && archive != archive_) preparedArchive_ = makeArchive(archive);
  return scratchError_;
}

int OutputPreparation::sealInto(const std::string& archive) {
  ReplacementFile& out = *file_;
  {
    // The digest was taken of the lines as they were written; a temporary file that can no
    // longer be opened cannot be sealed.
    int error = 0;
    UniqueFd scratch = openForReading(out.tempPath(), error);
    if (!scratch) return error;
  }
  hashLine_ = hexDigest(digest_) + "\r\n";
  out.writeAt(0, hashLine_);
  out.prepare();
  preparedArchive_ = makeArchive(archive);
  return 0;
}

std::unique_ptr<PreparedArchive> OutputPreparation::makeArchive(const std::string& archive) const {
  auto prepared = std::make_unique<PreparedArchive>(archive);
  if (deflatedOk_)
    prepared->add(file_->tempPath(), outputPath_, hashLine_, deflated_);
  else
    prepared->add(file_->tempPath(), outputPath_);
  return prepared;
}

void OutputPreparation::wait(const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
  {
    std::unique_lock lock(mutex_);
    while (running_ > 0) {
      if (finished_.wait_for(lock, std::chrono::milliseconds(50), [&] { return running_ == 0; }))
        break;
      lock.unlock();
      if (progress) progress(done_.load(), total_.load());
      lock.lock();
    }
  }
  if (writer_.joinable()) writer_.join();
  if (deflater_.joinable()) deflater_.join();
  if (writeError_) std::rethrow_exception(writeError_);
}

std::unique_ptr<OutputPreparation> startOutputPreparation(const Session& session, bool ahead) {
  return std::make_unique<OutputPreparation>(
      session.form.edtFileInput.text, outputPath(session.form), session.state.beneChargeFlag, ahead,
      ahead ? archiveName(session.form.edtZip.text) : std::string());
}

}  // namespace bs
