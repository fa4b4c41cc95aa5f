#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/session.h"
#include "core/text_lines.h"

namespace bs {

// The structure pre-checks.  Each lists its offending lines in the error list and returns
// whether every line passed.
bool checkRecordTypes(Session& session, const std::string& path);
bool checkRecordLengths(Session& session, const std::string& path);

// Credits under the two express cheque products, over the whole file.
struct ExpressChequeCounts {
  long xmq = 0;
  long xdq = 0;
};

// The Beneficiary Notification flag of a credit line.
inline constexpr std::size_t kNotificationColumn = 259;

// A credit line whose notification flag (column 259) is blank: the fill writes "N" there.
inline bool notificationFlagBlank(std::string_view line) {
  return line.size() >= kNotificationColumn && line.substr(0, 3) == "003" &&
         line[kNotificationColumn - 1] == ' ';
}

// The line as the notification fill leaves it: a copy in `filled` with "N" in a blank flag, else
// the line itself.
inline std::string_view asFilled(std::string_view line, std::string& filled) {
  if (!notificationFlagBlank(line)) return line;
  filled.assign(line);
  filled[kNotificationColumn - 1] = 'N';
  return filled;
}

// A line that passes both structure checks: it opens with a known record type and has the
// length of its type (`length` as in the file, also beyond what the reader kept of it).
bool passesStructureChecks(std::string_view line, std::uint64_t length);

// The grid and the batch state as both structure checks leave them when every line passed.
void markStructureChecked(Session& session);

// What a read for the structure checks finds besides them, a line at a time: the credits under
// the express cheque products, and whether the notification fill would change the file (a blank
// flag, a 0x1A byte or anything after the last line).
class StructureScan {
 public:
  // False when the line fails a structure check.
  bool line(const LineReader& reader, std::string_view line);
  // After the last line.
  void end(const LineReader& reader);
  // The lines after the one `reader` returned last, then end(); false when one fails.
  bool rest(LineReader& reader);

  ExpressChequeCounts express;
  bool fillChangesFile = false;

 private:
  std::string product_;
  std::uint64_t kept_ = 0;
};

// Both structure pre-checks, and the credits under the express cheque products, in one read.
// When every line passes both, leaves the grid and the batch state exactly as checkRecordTypes
// followed by checkRecordLengths do and returns true; otherwise returns false having changed
// nothing, and the caller runs the two checks, which list the offending lines.  With
// `fillChangesFile`, the same read also tells whether the notification fill would change the
// file: a blank flag, a 0x1A byte or anything after the last line.
bool passStructureChecks(Session& session, const std::string& path, ExpressChequeCounts& express,
                         bool* fillChangesFile = nullptr);

}  // namespace bs
