#include "output/replacement_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/failure.h"

namespace bs {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

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

  const FileType type = fileType(realPath_);
  if (type == FileType::Folder || type == FileType::Other)
    throwNotAFile("Cannot create file", target_, type == FileType::Folder);
  // A file its owner marked read-only is not replaced, although a rename would not ask it.
  if (writeForbidden(realPath_)) throwIoFailure("Cannot create file", target_, EACCES);

  removeStaleTempsFor(realPath_);
  int error = 0;
  fd_ = createTempFor(realPath_, tempPath_, error);
  if (!fd_) throwIoFailure("Cannot create file", target_, error);
  buffer_.reserve(kBufferSize);
}

ReplacementFile::~ReplacementFile() {
  discard();
}

void ReplacementFile::discard() {
  if (!committed_ && !tempPath_.empty()) {
    fd_.reset();
    removeFile(tempPath_);
    tempPath_.clear();
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
  if (written_ <= writebackStarted_) return;
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
