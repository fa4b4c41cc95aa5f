// batchseal-cli show: one record of a payment file cut into the fields of its type; and the
// notes of check --explain, which show the faulty field under each error row.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/json_out.h"
#include "commands/record_view.h"
#include "core/cp874.h"
#include "core/failure.h"

namespace bs::cli {

namespace {

// Rows whose records are read in one pass of --explain: the file is read once per this many
// rows, and no more of their lines (at most 4096 bytes each, a record's length as a rule) are
// held at a time.
constexpr int kRowsPerPass = 8192;
// The widest excerpt under a ruler, in columns.
constexpr std::size_t kExcerptColumns = 100;
constexpr std::size_t kContextColumns = 10;

// What stands at the head of a record: "Line 4: Credit record (003), 355 characters", and the
// expected length when it differs or the type is unknown.
std::string headline(const RecordView& v) {
  std::string s = "Line " + std::to_string(v.line) + ": ";
  if (v.typeName.empty())
    s += "unknown record type \"" + visibleText(v.recordType) + "\"";
  else
    s += std::string(v.typeName) + " record (" + v.recordType + ")";
  s += ", " + std::to_string(v.length) + " characters";
  if (v.lengthWrong())
    s += " where a " + std::string(v.typeName) + " record has " + std::to_string(v.expectedLength);
  return s;
}

std::string columnsText(std::size_t first, std::size_t last) {
  return std::to_string(first) + "-" + std::to_string(last);
}

// Four lines under `indent`: column numbers, ticks, the line's bytes and carets under the
// marked columns, for the stretch of the line around the mark.
std::string ruler(const RecordView& v, const std::string& indent) {
  const std::size_t lineEnd = std::max<std::size_t>(v.text.size(), 1);
  std::size_t from = 1, to = std::min(lineEnd, kExcerptColumns);
  if (v.markFirst) {
    from = v.markFirst > kContextColumns ? v.markFirst - kContextColumns : 1;
    to = std::max(v.markLast, std::min(lineEnd, v.markFirst)) + kContextColumns;
    to = std::min(to, std::max(lineEnd, v.markLast));
    to = std::min(to, from + kExcerptColumns - 1);
  }
  std::string numbers, ticks, carets;
  for (std::size_t c = from; c <= to; ++c) {
    if (c % 10 == 0) {
      numbers.append(c - from - numbers.size(), ' ');
      numbers += std::to_string(c);
    }
    ticks += c % 10 == 0 ? '|' : c % 5 == 0 ? '+' : '.';
    carets += c >= v.markFirst && c <= v.markLast ? '^' : ' ';
  }
  while (!carets.empty() && carets.back() == ' ') carets.pop_back();
  const std::string_view text =
      from <= v.text.size() ? std::string_view(v.text).substr(from - 1, to - from + 1) : "";
  std::string out =
      indent + numbers + "\n" + indent + ticks + "\n" + indent + visibleColumns(text) + "\n";
  if (!carets.empty()) out += indent + carets + "\n";
  return out;
}

// The note under one error row.
std::string explain(const RecordView& v) {
  const std::string indent = "    ";
  if (!v.shown()) return indent + v.problem + "\n";
  std::string s;
  if (v.markedField >= 0 && !v.lengthWrong()) {
    const RecordView::Field& f = v.fields[static_cast<std::size_t>(v.markedField)];
    s = indent + std::string(f.layout.name) + ", columns " +
        columnsText(f.layout.first, f.layout.last) + ": " + visibleText(f.value) + "\n";
  } else {
    s = indent + headline(v) + "\n";
  }
  return s + ruler(v, indent);
}

// A field's value for the table of show: a long run of trailing blanks is counted rather than
// drawn, so that a wide empty field does not push the table off the screen.
std::string tableValue(std::string_view value) {
  std::size_t blanks = 0;
  while (blanks < value.size() && value[value.size() - 1 - blanks] == ' ') ++blanks;
  if (blanks <= 8) return visibleText(value);
  const std::string count = std::string("(").append(std::to_string(blanks)) + " blanks)";
  if (blanks == value.size()) return count;
  return visibleText(value.substr(0, value.size() - blanks)) + "\xC2\xB7\xE2\x80\xA6 " + count;
}

void printJsonView(const RecordView& v, const char* outcome) {
  std::FILE* out = stdout;
  std::fprintf(out, "{\n  \"outcome\": \"%s\",\n  \"file\": ", outcome);
  writeJsonString(out, v.path);
  std::fprintf(out, ",\n  \"line\": %ld", v.line);
  if (!v.shown()) {
    std::fputs(",\n  \"problem\": ", out);
    writeJsonString(out, v.problem);
    std::fputs("\n}\n", out);
    return;
  }
  std::fputs(",\n  \"recordType\": ", out);
  writeJsonString(out, visibleText(v.recordType));
  std::fputs(",\n  \"typeName\": ", out);
  writeJsonString(out, v.typeName);
  std::fprintf(out, ",\n  \"length\": %llu,\n  \"expectedLength\": %zu,\n  \"fields\": [",
               static_cast<unsigned long long>(v.length), v.expectedLength);
  for (std::size_t i = 0; i < v.fields.size(); ++i) {
    const auto& f = v.fields[i];
    std::fputs(i ? ",\n    {\"name\": " : "\n    {\"name\": ", out);
    writeJsonString(out, f.layout.name);
    std::fprintf(out, ", \"first\": %zu, \"last\": %zu, \"value\": ", f.layout.first,
                 f.layout.last);
    writeJsonString(out, cp874ToUtf8(f.value));
    std::fputc('}', out);
  }
  std::fputs(v.fields.empty() ? "],\n  \"text\": " : "\n  ],\n  \"text\": ", out);
  writeJsonString(out, cp874ToUtf8(v.text));
  std::fputs("\n}\n", out);
}

void printPlainView(const RecordView& v) {
  std::printf("File: %s\n", v.path.c_str());
  if (!v.shown()) {
    std::printf("%s\n", v.problem.c_str());
    return;
  }
  std::printf("%s\n", headline(v).c_str());
  std::size_t nameWidth = 5;
  for (const auto& f : v.fields) nameWidth = std::max(nameWidth, f.layout.name.size());
  if (!v.fields.empty()) {
    std::printf("%-*s | Columns | Value\n", static_cast<int>(nameWidth), "Field");
    for (const auto& f : v.fields) {
      const std::string value =
          f.layout.first > v.length ? "(past the end of the line)" : tableValue(f.value);
      std::printf("%-*.*s | %-7s | %s\n", static_cast<int>(nameWidth),
                  static_cast<int>(f.layout.name.size()), f.layout.name.data(),
                  columnsText(f.layout.first, f.layout.last).c_str(), value.c_str());
    }
  }
  if (v.markFirst) std::fputs(ruler(v, "").c_str(), stdout);
}

}  // namespace

int showCommand(const Options& o) {
  const std::string& path = o.positional[0];
  RecordView v;
  try {
    v = readRecordView(path, o.line);
  } catch (const Failure& e) {
    if (o.json) {
      v.path = path;
      v.line = o.line;
      v.status = RecordView::Status::NoSuchLine;
      v.problem = e.message();
      printJsonView(v, "failed");
    } else {
      std::fprintf(stderr, "batchseal-cli: %s\n", e.message().c_str());
    }
    return kFailed;
  }
  if (o.json)
    printJsonView(v, v.shown() ? "completed" : "stopped");
  else
    printPlainView(v);
  return v.shown() ? kCompleted : kStopped;
}

RowNote explainNotes(const Session& session) {
  // The lines of the rows from `firstRow` on, read in one pass.
  struct Pass {
    int firstRow = 0, endRow = 0;
    std::vector<long> lines;
    std::vector<RecordLine> read;
    std::string failure;
  };
  auto pass = std::make_shared<Pass>();
  const BatchState& st = session.state;
  const Grid& grid = session.form.StringGrid1;
  return [pass, &st, &grid](int row) -> std::string {
    const auto ref = gridRecordRef(grid, row);
    if (!ref || st.checkedPath.empty()) return {};
    if (row == 1 && st.checkedFingerprintKnown) {
      // A file changed since the check: one note for the whole list, under its first row.
      const RecordView v = readRecordView(st.checkedPath, ref->line, {}, &st.checkedFingerprint);
      if (v.status == RecordView::Status::Changed) {
        pass->firstRow = 1;
        pass->endRow = grid.rowCount();
        pass->failure = "    " + v.problem + "\n";
        return pass->failure;
      }
    }
    if (row < pass->firstRow || row >= pass->endRow) {
      pass->firstRow = row;
      pass->endRow = std::min(grid.rowCount(), row + kRowsPerPass);
      pass->lines.clear();
      pass->failure.clear();
      for (int r = row; r < pass->endRow; ++r)
        if (auto other = gridRecordRef(grid, r)) pass->lines.push_back(other->line);
      std::sort(pass->lines.begin(), pass->lines.end());
      pass->lines.erase(std::unique(pass->lines.begin(), pass->lines.end()), pass->lines.end());
      try {
        pass->read = readRecordLines(st.checkedPath, pass->lines);
      } catch (const Failure& e) {
        pass->failure = "    " + e.message() + "\n";
        return pass->failure;
      }
    }
    if (!pass->failure.empty()) return {};
    const auto at = std::lower_bound(pass->lines.begin(), pass->lines.end(), ref->line);
    const auto& read = pass->read[static_cast<std::size_t>(at - pass->lines.begin())];
    return explain(cutRecord(st.checkedPath, ref->line, read, ref->columns));
  };
}

}  // namespace bs::cli
