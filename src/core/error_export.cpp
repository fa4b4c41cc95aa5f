
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/error_export.h"
#include "core/failure.h"
#include "core/platform_file.h"

namespace bs {

namespace {

enum class ExportFormat { None, RecordType, RecordLength, Validation };

// The kind of list is decided by the results of the last run, not by the grid's layout.
ExportFormat chooseFormat(const BatchState& state) {
  if (!state.recordTypesValid) return ExportFormat::RecordType;
  if (!state.recordLengthsValid) return ExportFormat::RecordLength;
  if (!state.batchValid) return ExportFormat::Validation;
  return ExportFormat::None;
}

void appendLine(std::string& out, ExportFormat format, const Grid& grid, int row) {
  auto c = [&](int col) { return grid.cell(col, row); };
  switch (format) {
    case ExportFormat::RecordType:
      out += "LineNo : ";
      out += c(1);
      out += " Record type invalid code";
      break;
    case ExportFormat::RecordLength:
      out += "LineNo.: ";
      out += c(2);
      out += " Invalid length in record type ";
      out += c(1);
      break;
    case ExportFormat::Validation:
      out += "Record Type:  ";
      out += c(1);
      out += "  LineNo.:  ";
      out += c(2);
      out += "  Column:  ";
      out += c(3);
      out += "  Field Name:  ";
      out += c(4);
      out += "  Message:  ";
      out += c(5);
      break;
    case ExportFormat::None:
      return;
  }
  out += "\r\n";
}

void writeAll(int fd, std::string_view data, const std::string& path) {
  if (int error = bs::writeAll(fd, data.data(), data.size()))
    throwIoFailure("Cannot write file", path, error);
}

// A scratch file next to the target that is removed again unless it was renamed onto it.
class PendingFile {
 public:
  explicit PendingFile(const std::string& target) {
    if (const FileType type = fileType(target); type == FileType::Folder || type == FileType::Other)
      throwNotAFile("Cannot create file", target, type == FileType::Folder);
    // A file its owner marked read-only is not replaced, although a rename would not ask it.
    if (writeForbidden(target)) throwIoFailure("Cannot create file", target, EACCES);
    removeStaleTempsFor(target);
    int error = 0;
    fd_ = createTempFor(target, path_, error);
    if (!fd_) throwIoFailure("Cannot create file", target, error);
    // The temporary file is private; an export is an ordinary file of the user's.
    if ((error = setModeFor(fd_.get(), target)) != 0)
      throwIoFailure("Cannot create file", target, error);
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile() {
    fd_.reset();
    if (!committed_) removeFile(path_);
  }
  int fd() const { return fd_.get(); }
  void commit(const std::string& target) {
    if (int error = syncFile(fd_.get())) throwIoFailure("Cannot write file", target, error);
    if (int error = fd_.close()) throwIoFailure("Cannot write file", target, error);
    if (int error = renameOver(path_, target)) throwIoFailure("Cannot create file", target, error);
    committed_ = true;
    if (int error = syncFolder(folderOf(target)))
      throwIoFailure("Cannot write file", target, error);
  }

 private:
  std::string path_;
  UniqueFd fd_;
  bool committed_ = false;
};

}  // namespace

void exportErrorList(Session& session) {
  ExportFormat format = chooseFormat(session.state);
  if (format == ExportFormat::None) return;

  std::optional<std::string> chosen = session.ui.fileDialog(sdlg);
  if (!chosen) return;
  const std::string& path = *chosen;

  // The whole list goes to a scratch file that replaces the chosen file only when every byte
  // is on disk, so a failed write never leaves a half-written list that looks complete.
  PendingFile file(path);
  const Grid& grid = session.form.StringGrid1;
  std::string block;
  for (int row = 1; row <= grid.rowCount() - 2; ++row) {
    appendLine(block, format, grid, row);
    if (block.size() >= (1u << 16)) {
      writeAll(file.fd(), block, path);
      block.clear();
    }
  }
  writeAll(file.fd(), block, path);
  file.commit(path);

  session.ui.messageBox("Error data save success");
}

}  // namespace bs
