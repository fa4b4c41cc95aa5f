#include "cli/cli_print.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "cli/json_out.h"
#include "core/cp874.h"

namespace bs::cli {

namespace {

// Display width of UTF-8 text in a terminal: code points, less Thai marks that stand above or
// below the preceding letter.
std::size_t displayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    auto c = static_cast<unsigned char>(utf8[i]);
    std::size_t len = c < 0x80         ? 1
                      : (c >> 5) == 6  ? 2
                      : (c >> 4) == 14 ? 3
                      : (c >> 3) == 30 ? 4
                                       : 1;
    char32_t cp = c;
    if (len == 3 && i + 2 < utf8.size())
      cp = ((c & 0x0F) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3F) << 6) |
           (static_cast<unsigned char>(utf8[i + 2]) & 0x3F);
    bool combining =
        cp == 0x0E31 || (cp >= 0x0E34 && cp <= 0x0E3A) || (cp >= 0x0E47 && cp <= 0x0E4E);
    if (!combining) ++width;
    i += len;
  }
  return width;
}

// The bytes a JSON string may hold as they are, as the grid holds them: printable ASCII other
// than the quote and the backslash.
struct PlainJsonBytes {
  bool plain[256] = {};
  constexpr PlainJsonBytes() {
    for (int c = 0x20; c < 0x7F; ++c) plain[c] = c != '"' && c != '\\';
  }
};
constexpr PlainJsonBytes kPlainJson;

// The columns of a row the JSON lists: 0 to count - 1, and column 6 where the payment summary
// wrote it beyond the count.
int jsonColumns(const Grid& g, const std::vector<std::string_view>& rowCells) {
  int n = g.colCount();
  if (n < 7 && rowCells.size() > 6 && !rowCells[6].empty()) n = 7;
  return n;
}

void printGrid(const Grid& g, const RowNote& note) {
  std::vector<int> cols;
  for (int c = 0; c < g.colCount(); ++c)
    if (g.colWidth(c) > 0) cols.push_back(c);
  if (cols.empty()) return;
  bool anyText = false;
  std::vector<std::size_t> widths(cols.size(), 0);
  for (int r = 0; r < g.rowCount(); ++r)
    for (std::size_t k = 0; k < cols.size(); ++k) {
      auto text = g.cell(cols[k], r);
      if (!text.empty()) anyText = true;
      widths[k] = std::max(widths[k], displayWidth(cp874ToUtf8(text)));
    }
  if (!anyText) return;
  std::string line;
  for (int r = 0; r < g.rowCount(); ++r) {
    line.clear();
    for (std::size_t k = 0; k < cols.size(); ++k) {
      std::string text = cp874ToUtf8(g.cell(cols[k], r));
      if (k + 1 < cols.size()) {
        text.append(widths[k] - displayWidth(text), ' ');
        text += " | ";
      }
      line += text;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    line += '\n';
    if (note && r > 0) line += note(r);
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
}

}  // namespace

void printPlain(const Session& s, const Variables* vars, const RowNote& note) {
  const Form& f = s.form;
  if (!f.Label4.caption.empty()) std::printf("Status: %s\n", cp874ToUtf8(f.Label4.caption).c_str());
  if (!f.Label5.caption.empty()) std::printf("Title: %s\n", cp874ToUtf8(f.Label5.caption).c_str());
  if (!f.edtHashvalue.text.empty())
    std::printf("Hash value: %s\n", cp874ToUtf8(f.edtHashvalue.text).c_str());
  if (vars)
    for (const auto& [name, v] : *vars) std::printf("%s = %s\n", name.c_str(), v.c_str());
  printGrid(f.StringGrid1, note);
}

void printJson(const Session& s, const CliUi& ui, const char* outcome, const Variables* vars) {
  std::FILE* out = stdout;
  const Form& f = s.form;
  std::fprintf(out, "{\n  \"outcome\": \"%s\",\n  \"messages\": [", outcome);
  for (std::size_t i = 0; i < ui.shown.size(); ++i) {
    const auto& m = ui.shown[i];
    std::fputs(i ? ",\n    " : "\n    ", out);
    std::fprintf(out, "{\"kind\": \"%s\", \"text\": ", m.kind.c_str());
    writeJsonString(out, cp874ToUtf8(m.text));
    std::fprintf(out, ", \"answer\": \"%s\"}", answerName(m.answer));
  }
  std::fputs(ui.shown.empty() ? "],\n" : "\n  ],\n", out);
  std::fputs("  \"status\": ", out);
  writeJsonString(out, cp874ToUtf8(f.Label4.caption));
  std::fputs(",\n  \"title\": ", out);
  writeJsonString(out, cp874ToUtf8(f.Label5.caption));
  std::fputs(",\n  \"hash\": ", out);
  writeJsonString(out, cp874ToUtf8(f.edtHashvalue.text));
  std::fprintf(out, ",\n  \"saveEnabled\": %s,\n  \"grid\": [",
               f.btnSaveError.enabled ? "true" : "false");
  const Grid& g = f.StringGrid1;
  // A grid may hold a million rows: rows are built in one buffer that is written out whenever
  // it holds some 64 KiB, and cells of plain printable ASCII, the usual case, are copied as
  // they are.
  std::string buffer;
  buffer.reserve(1 << 17);
  std::vector<std::string_view> cells;
  for (int r = 0; r < g.rowCount(); ++r) {
    buffer.append(r ? ",\n    [" : "\n    [");
    g.rowCells(r, cells);
    const int n = jsonColumns(g, cells);
    for (int c = 0; c < n; ++c) {
      if (c) buffer.append(", ");
      const auto i = static_cast<std::size_t>(c);
      const std::string_view cell = i < cells.size() ? cells[i] : std::string_view();
      const bool plain = std::all_of(cell.begin(), cell.end(), [](char b) {
        return kPlainJson.plain[static_cast<unsigned char>(b)];
      });
      if (plain) {
        buffer.push_back('"');
        buffer.append(cell);
        buffer.push_back('"');
      } else if (std::all_of(cell.begin(), cell.end(),
                             [](char b) { return static_cast<unsigned char>(b) < 0x80; })) {
        appendJsonString(buffer, cell);
      } else {
        appendJsonString(buffer, cp874ToUtf8(cell));
      }
    }
    buffer.push_back(']');
    if (buffer.size() >= (1 << 16)) {
      std::fwrite(buffer.data(), 1, buffer.size(), out);
      buffer.clear();
    }
  }
  std::fwrite(buffer.data(), 1, buffer.size(), out);
  std::fputs(g.rowCount() ? "\n  ]" : "]", out);
  if (vars) {
    std::fputs(",\n  \"variables\": {", out);
    for (std::size_t i = 0; i < vars->size(); ++i) {
      std::fputs(i ? ", " : "", out);
      writeJsonString(out, (*vars)[i].first);
      std::fputs(": ", out);
      writeJsonString(out, (*vars)[i].second);
    }
    std::fputc('}', out);
  }
  std::fputs("\n}\n", out);
}

}  // namespace bs::cli
