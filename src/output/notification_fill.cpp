#include "output/notification_fill.h"

#include "core/prechecks.h"
#include "core/text_lines.h"
#include "output/replacement_file.h"

namespace bs {

namespace {

constexpr const char* kStage = "Filling notification flags";

std::string_view lineEndBytes(LineEnd end) {
  switch (end) {
    case LineEnd::Cr:
      return "\r";
    case LineEnd::CrLf:
      return "\r\n";
    case LineEnd::EndOfFile:
    case LineEnd::Sub:
      return {};
  }
  return {};
}

// Whether the fill would change the file: a blank flag to fill, or a 0x1A byte that ends the
// file early.
bool fillChangesFile(const std::string& path) {
  LineReader reader(path);
  std::string_view line;
  std::uint64_t kept = 0;
  while (reader.next(line)) {
    if (notificationFlagBlank(line) || reader.lineEnd() == LineEnd::Sub) return true;
    kept += reader.lineLength() + lineEndSize(reader.lineEnd());
  }
  return kept != reader.fileSize();
}

}  // namespace

bool fillNotificationFlags(const std::string& paymentFile, Ui* progress,
                           std::optional<bool> changesFile, bool sweepStaleTemps) {
  if (!(changesFile ? *changesFile : fillChangesFile(paymentFile))) return false;

  LineReader reader(paymentFile);
  ReplacementFile out(paymentFile, sweepStaleTemps);
  std::string_view line;
  std::string filled;
  while (reader.next(line)) {
    reader.expectWhole();
    out.write(asFilled(line, filled));
    out.write(lineEndBytes(reader.lineEnd()));
    if (progress && (reader.lineNumber() & 1023) == 0)
      progress->progress(kStage, reader.bytesRead(), reader.fileSize());
  }
  out.commit();
  if (progress) progress->progress(kStage, reader.fileSize(), reader.fileSize());
  return true;
}

void fillNotificationFlags(Session& session, std::optional<bool> changesFile,
                           bool sweepStaleTemps) {
  fillNotificationFlags(session.form.edtFileInput.text, &session.ui, changesFile, sweepStaleTemps);
}

}  // namespace bs
