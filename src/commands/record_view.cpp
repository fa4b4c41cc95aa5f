#include "commands/record_view.h"

#include <algorithm>
#include <charconv>

#include "core/cp874.h"
#include "core/text_lines.h"

namespace bs {

namespace {

bool parseColumns(std::string_view text, std::size_t& first, std::size_t& last) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return false;
  const char* b = text.data();
  auto a = std::from_chars(b, b + dash, first);
  auto z = std::from_chars(b + dash + 1, b + text.size(), last);
  return a.ec == std::errc() && a.ptr == b + dash && z.ec == std::errc() &&
         z.ptr == b + text.size() && first >= 1 && last >= first;
}

std::string_view headerOf(const Grid& g, int col) {
  return g.cell(col, 0);
}

// U+00B7 for a blank, U+00A4 for another control byte.
constexpr std::string_view kBlank = "\xC2\xB7";
constexpr std::string_view kControl = "\xC2\xA4";

bool isThaiMark(unsigned char c) {
  return c == 0xD1 || (c >= 0xD4 && c <= 0xDA) || (c >= 0xE7 && c <= 0xEE);
}

}  // namespace

std::vector<RecordLine> readRecordLines(const std::string& path, const std::vector<long>& wanted) {
  std::vector<RecordLine> out(wanted.size());
  if (wanted.empty() || wanted.back() < 1) return out;
  LineReader reader(path);
  std::string_view text;
  std::size_t k = 0;
  while (k < wanted.size() && wanted[k] < 1) ++k;
  while (k < wanted.size() && reader.next(text)) {
    if (reader.lineNumber() != wanted[k]) continue;
    out[k] = {std::string(text), reader.lineLength(), true};
    ++k;
  }
  return out;
}

RecordView cutRecord(const std::string& path, long line, const RecordLine& read,
                     std::string_view columns) {
  RecordView v;
  v.path = path;
  v.line = line;
  if (!read.found) {
    v.status = RecordView::Status::NoSuchLine;
    v.problem = "The file \"" + path + "\" has no line " + std::to_string(line) + ".";
    return v;
  }
  v.text = read.text;
  v.length = read.length;
  v.recordType.assign(cut(v.text, 1, 3));
  v.typeName = recordTypeName(v.recordType);
  const auto layouts = recordFields(v.recordType);
  if (!layouts.empty()) v.expectedLength = layouts.back().last;
  for (const FieldSpec& layout : layouts)
    v.fields.push_back({layout, std::string(cut(v.text, layout.first, layout.last))});

  if (!parseColumns(columns, v.markFirst, v.markLast)) {
    v.markFirst = v.markLast = 0;
    if (layouts.empty()) {
      v.markFirst = 1;
      v.markLast = 3;
    } else if (v.length < v.expectedLength) {
      v.markFirst = static_cast<std::size_t>(v.length) + 1;
      v.markLast = v.expectedLength;
    } else if (v.length > v.expectedLength) {
      v.markFirst = v.expectedLength + 1;
      v.markLast = static_cast<std::size_t>(v.length);
    }
  }
  for (std::size_t i = 0; i < v.fields.size(); ++i) {
    const FieldSpec& s = v.fields[i].layout;
    if (v.markFirst >= s.first && v.markFirst <= s.last) v.markedField = static_cast<int>(i);
  }
  return v;
}

bool parseColumnRange(std::string_view text, std::size_t& first, std::size_t& last) {
  return parseColumns(text, first, last);
}

RecordView readRecordView(const std::string& path, long line, std::string_view columns,
                          const FileFingerprint* fingerprint) {
  if (fingerprint) {
    FileFingerprint now;
    if (!fileFingerprint(path, now) || !(now == *fingerprint)) {
      RecordView v;
      v.path = path;
      v.line = line;
      v.status = RecordView::Status::Changed;
      v.problem = "The file \"" + path +
                  "\" changed since it was checked: its records may no longer stand where the "
                  "list says.  Run the check again to see them.";
      return v;
    }
  }
  return cutRecord(path, line, readRecordLines(path, {line}).front(), columns);
}

std::optional<GridRecordRef> gridRecordRef(const Grid& g, int row) {
  if (row < 1 || row >= g.rowCount()) return std::nullopt;
  int lineCol = -1, typeCol = -1, columnCol = -1;
  // The three layouts that list lines, told apart by their headers.
  if (g.colCount() == 8 && headerOf(g, 2) == "Line" && headerOf(g, 3) == "Column") {
    typeCol = 1;
    lineCol = 2;
    columnCol = 3;
  } else if (g.colCount() == 3 && headerOf(g, 1) == "Record Type" && headerOf(g, 2) == "Line") {
    typeCol = 1;
    lineCol = 2;
  } else if (g.colCount() == 2 && headerOf(g, 1) == "Line") {
    lineCol = 1;
  } else {
    return std::nullopt;
  }
  const std::string_view lineText = g.cell(lineCol, row);
  GridRecordRef ref;
  auto r = std::from_chars(lineText.data(), lineText.data() + lineText.size(), ref.line);
  if (r.ec != std::errc() || r.ptr != lineText.data() + lineText.size() || ref.line < 1)
    return std::nullopt;
  if (columnCol >= 0) ref.columns = g.cell(columnCol, row);
  if (typeCol >= 0) ref.recordType = g.cell(typeCol, row);
  return ref;
}

std::optional<RecordView> recordViewOfRow(const BatchState& state, const Grid& grid, int row) {
  const auto ref = gridRecordRef(grid, row);
  if (!ref || state.checkedPath.empty()) return std::nullopt;
  RecordView v =
      readRecordView(state.checkedPath, ref->line, ref->columns,
                     state.checkedFingerprintKnown ? &state.checkedFingerprint : nullptr);
  // Without a fingerprint to go by, a line whose type is not the one the row names is taken for
  // a sign that the file changed.  (With one, the file is the one checked: a row that names
  // another line than its record's, such as the credit count's fixed line 2, shows that line.)
  if (!state.checkedFingerprintKnown && v.shown() && !ref->recordType.empty() &&
      v.recordType != ref->recordType) {
    v.status = RecordView::Status::Changed;
    v.problem = "The file \"" + v.path + "\" changed since it was checked: line " +
                std::to_string(v.line) + " is no longer a record of type " + ref->recordType +
                ".  Run the check again to see it.";
    v.fields.clear();
  }
  return v;
}

std::string visibleText(std::string_view bytes) {
  std::string out;
  std::size_t plain = 0;
  auto flush = [&](std::size_t upTo) {
    if (upTo > plain) out += cp874ToUtf8(bytes.substr(plain, upTo - plain));
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c > 0x20 && c != 0x7F) continue;
    flush(i);
    out += c == 0x20 ? kBlank : kControl;
    plain = i + 1;
  }
  flush(bytes.size());
  return out;
}

std::string visibleColumns(std::string_view bytes) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!isThaiMark(static_cast<unsigned char>(bytes[i]))) continue;
    out += visibleText(bytes.substr(from, i - from));
    out += "\xE2\x97\x8C";  // U+25CC, a base of its own
    from = i;
  }
  out += visibleText(bytes.substr(from));
  return out;
}

}  // namespace bs
