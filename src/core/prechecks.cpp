// The two structure passes that run before any field is judged: every line must open with a
// known record type, and every line of a known type must have exactly the length of its type.

#include <string>
#include <string_view>

#include "core/error_list.h"
#include "core/prechecks.h"
#include "core/text_lines.h"

namespace bs {
namespace {

struct RecordLength {
  std::string_view type;
  std::size_t length;
};

constexpr RecordLength kRecordLengths[] = {
    {"001", 96},  {"002", 109}, {"003", 355}, {"004", 816}, {"005", 138},
    {"006", 196}, {"007", 300}, {"008", 200}, {"999", 31},
};

// The length of a known record type, or 0 for any other text.
std::size_t lengthOfType(std::string_view type) {
  for (const auto& r : kRecordLengths)
    if (r.type == type) return r.length;
  return 0;
}

constexpr long kProgressEvery = 4096;

void reportProgress(Session& session, std::string_view stage, const LineReader& reader) {
  if (reader.lineNumber() % kProgressEvery == 0)
    session.ui.progress(stage, reader.bytesRead(), reader.fileSize());
}

// Writes the offence into the row after the last one and adds the new empty last row.
void listOffence(Grid& grid, int k, const std::vector<std::string_view>& cells) {
  grid.setCells(k, cells);
  grid.setRowCount(grid.rowCount() + 1);
}

void layOutTypeList(Session& session) {
  Grid& grid = session.form.StringGrid1;
  clearErrorList(session.form);
  grid.setRowCount(2);
  grid.setColCount(2);
  grid.setCells(0, {"No.", "Line"});
}

void layOutLengthList(Session& session) {
  Grid& grid = session.form.StringGrid1;
  clearErrorList(session.form);
  grid.setRowCount(2);
  grid.setColCount(3);
  grid.setCells(0, {"No.", "Record Type", "Line"});
}

}  // namespace

bool passesStructureChecks(std::string_view line, std::uint64_t length) {
  const std::size_t expected = lengthOfType(cut(line, 1, 3));
  return expected != 0 && length == expected;
}

void markStructureChecked(Session& session) {
  layOutTypeList(session);
  session.state.recordTypesValid = true;
  layOutLengthList(session);
  session.state.recordLengthsValid = true;
}

bool StructureScan::line(const LineReader& reader, std::string_view line) {
  if (!passesStructureChecks(line, reader.lineLength())) return false;
  const std::string_view type = cut(line, 1, 3);
  if (type == "002") {
    product_.assign(cut(line, 4, 6));
  } else if (type == "003") {
    if (product_ == "XMQ") ++express.xmq;
    if (product_ == "XDQ") ++express.xdq;
  }
  if (notificationFlagBlank(line) || reader.lineEnd() == LineEnd::Sub) fillChangesFile = true;
  kept_ += reader.lineLength() + lineEndSize(reader.lineEnd());
  return true;
}

void StructureScan::end(const LineReader& reader) {
  if (kept_ != reader.fileSize()) fillChangesFile = true;
}

bool StructureScan::rest(LineReader& reader) {
  std::string_view text;
  while (reader.next(text))
    if (!line(reader, text)) return false;
  end(reader);
  return true;
}

bool passStructureChecks(Session& session, const std::string& path, ExpressChequeCounts& express,
                         bool* fillChangesFile) {
  StructureScan scan;
  {
    LineReader reader(path);
    std::string_view line;
    while (reader.next(line)) {
      if (!scan.line(reader, line)) return false;
      reportProgress(session, "Checking record types and lengths", reader);
    }
    scan.end(reader);
  }
  markStructureChecked(session);
  express = scan.express;
  if (fillChangesFile) *fillChangesFile = scan.fillChangesFile;
  return true;
}

bool checkRecordTypes(Session& session, const std::string& path) {
  Grid& grid = session.form.StringGrid1;
  layOutTypeList(session);

  bool valid = true;
  int k = 0;
  {
    LineReader reader(path);
    std::string_view line;
    while (reader.next(line)) {
      if (lengthOfType(cut(line, 1, 3)) == 0) {
        ++k;
        const std::string number = std::to_string(k);
        const std::string lineNo = std::to_string(reader.lineNumber());
        listOffence(grid, k, {number, lineNo});
        valid = false;
      }
      reportProgress(session, "Checking record types", reader);
    }
  }
  session.state.recordTypesValid = valid;
  return valid;
}

bool checkRecordLengths(Session& session, const std::string& path) {
  Grid& grid = session.form.StringGrid1;
  layOutLengthList(session);

  bool valid = true;
  int k = 0;
  {
    LineReader reader(path);
    std::string_view line;
    while (reader.next(line)) {
      const std::string_view type = cut(line, 1, 3);
      const std::size_t expected = lengthOfType(type);
      if (expected != 0 && reader.lineLength() != expected) {
        ++k;
        const std::string number = std::to_string(k);
        const std::string lineNo = std::to_string(reader.lineNumber());
        listOffence(grid, k, {number, type, lineNo});
        valid = false;
      }
      reportProgress(session, "Checking record lengths", reader);
    }
  }
  session.state.recordLengthsValid = valid;
  return valid;
}

}  // namespace bs
