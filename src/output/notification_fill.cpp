#include "output/notification_fill.h"

#include "core/text_lines.h"
#include "output/replacement_file.h"

namespace bs {

namespace {

constexpr std::size_t kNotificationColumn = 259;
constexpr const char* kStage = "Filling notification flags";

bool needsFill(std::string_view line) {
  return line.size() >= kNotificationColumn && line.substr(0, 3) == "003" &&
         line[kNotificationColumn - 1] == ' ';
}

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
    if (needsFill(line) || reader.lineEnd() == LineEnd::Sub) return true;
    kept += reader.lineLength() + lineEndBytes(reader.lineEnd()).size();
  }
  return kept != reader.fileSize();
}

}  // namespace

bool fillNotificationFlags(const std::string& paymentFile, Ui* progress) {
  if (!fillChangesFile(paymentFile)) return false;

  LineReader reader(paymentFile);
  ReplacementFile out(paymentFile);
  std::string_view line;
  while (reader.next(line)) {
    reader.expectWhole();
    if (needsFill(line)) {
      out.write(line.substr(0, kNotificationColumn - 1));
      out.write("N");
      out.write(line.substr(kNotificationColumn));
    } else {
      out.write(line);
    }
    out.write(lineEndBytes(reader.lineEnd()));
    if (progress && (reader.lineNumber() & 1023) == 0)
      progress->progress(kStage, reader.bytesRead(), reader.fileSize());
  }
  out.commit();
  if (progress) progress->progress(kStage, reader.fileSize(), reader.fileSize());
  return true;
}

void fillNotificationFlags(Session& session) {
  fillNotificationFlags(session.form.edtFileInput.text, &session.ui);
}

}  // namespace bs
