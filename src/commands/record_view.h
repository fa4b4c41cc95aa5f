#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/batch_state.h"
#include "core/grid.h"
#include "rules/record_layout.h"

namespace bs {

// One record of the payment file cut into the fields of its type, read from the file on demand
// for the record inspector of the window and batchseal-cli show.
struct RecordView {
  enum class Status {
    Shown,       // the line was read; `fields` holds it cut into fields
    NoSuchLine,  // the file has fewer lines
    Changed,     // the file is not the one the rows were found in
  };
  struct Field {
    FieldSpec layout;
    std::string value;  // the field's bytes as they are in the file, cut at the line end
  };

  std::string path;
  long line = 0;
  Status status = Status::Shown;
  // Why the record is not shown, naming the file; empty when it is.
  std::string problem;

  std::string recordType;          // columns 1-3 as they are in the line
  std::string_view typeName;       // "Credit", ...; empty for an unknown type
  std::string text;                // the line without its line end (its first 4096 bytes)
  std::uint64_t length = 0;        // the line's length in the file
  std::size_t expectedLength = 0;  // the length of its type; 0 for an unknown type
  std::vector<Field> fields;

  // The faulty columns, 1-based and inclusive; 0 when no range was given.  For a line of the
  // wrong length, the missing or the surplus columns; for an unknown type, the record type.
  std::size_t markFirst = 0, markLast = 0;
  // The index in `fields` of the field that holds markFirst, or -1.
  int markedField = -1;

  bool shown() const { return status == Status::Shown; }
  bool lengthWrong() const { return expectedLength != 0 && length != expectedLength; }
};

// Reads line `line` of the payment file `path` (one pass that stops there; no copy of the file
// is kept) and cuts it into the fields of its type.  `columns` is the Column text of an error row
// ("35-50"): the range to mark.  When `fingerprint` is given and the file's state differs, the
// record is not read: the view says that the file changed.  Throws Failure when the file cannot
// be opened or read.
RecordView readRecordView(const std::string& path, long line, std::string_view columns = {},
                          const FileFingerprint* fingerprint = nullptr);

// One line of the file as read for a record view: its bytes (the first 4096) and its length.
struct RecordLine {
  std::string text;
  std::uint64_t length = 0;
  bool found = false;  // false beyond the last line
};
// The lines `sortedLines` (ascending, distinct) of the file, in one pass that stops after the
// last; only those lines are kept.  Throws Failure when the file cannot be opened or read.
std::vector<RecordLine> readRecordLines(const std::string& path,
                                        const std::vector<long>& sortedLines);
// Line `line` of the file `path`, as read, cut into the fields of its type, the columns
// `columns` ("35-50") marked.
RecordView cutRecord(const std::string& path, long line, const RecordLine& read,
                     std::string_view columns);

// What a row of the grid points at: the line, the columns and the record type it names.  The
// grid holds an error list, a pre-check list or the payment summary; only the first two name
// lines.
struct GridRecordRef {
  long line = 0;
  std::string columns;
  std::string recordType;
};
std::optional<GridRecordRef> gridRecordRef(const Grid& grid, int row);

// The record behind a row of the grid as the last check found it: read from the file that check
// read, or a view saying that the file changed since.  Nothing when the row names no line.
std::optional<RecordView> recordViewOfRow(const BatchState& state, const Grid& grid, int row);

// "35-50" as its two columns; false for any other text.
bool parseColumnRange(std::string_view text, std::size_t& first, std::size_t& last);

// A field's bytes as a person reads them: Windows-874 decoded to UTF-8, blanks shown as "·",
// other control bytes as "¤".
std::string visibleText(std::string_view bytes);
// The same, one character per byte, for text under a column ruler: a Thai mark that would sit
// on the letter before it stands on a dotted circle of its own.
std::string visibleColumns(std::string_view bytes);

}  // namespace bs
