#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_reports.h"
#include "cli/cli_ui.h"
#include "cli/json_out.h"
#include "commands/version_info.h"
#include "commands/wire_session.h"
#include "core/commands.h"
#include "core/cp874.h"
#include "core/failure.h"
#include "core/program_folder.h"
#include "core/session.h"

namespace bs::cli {

namespace {

constexpr int kCompleted = 0;
constexpr int kStopped = 1;
constexpr int kUsage = 2;
constexpr int kFailed = 3;

const char* const kUsageText =
    "usage: batchseal-cli [--home DIR] COMMAND ...\n"
    "  seal INPUT --zip ZIP [--new-file OUT] [--invalid-accounts abort|ignore|close] [--json]\n"
    "       [--errors-out FILE] [--report-pdf FILE]\n"
    "  check INPUT [--json]\n"
    "  fee INPUT [--invalid-accounts abort|ignore|close] [--json] [--pdf FILE]\n"
    "  verify FILE|ZIP\n"
    "batchseal-cli --version\n";

struct Options {
  std::string command;
  std::vector<std::string> positional;
  std::optional<std::string> home, zip, newFile, errorsOut, reportPdf, pdf;
  InvalidAccounts invalidAccounts = InvalidAccounts::Abort;
  bool json = false;
};

struct UsageError {
  std::string message;
};

Options parse(int argc, char** argv) {
  Options o;
  std::vector<std::string> args(argv + 1, argv + argc);
  auto value = [&](std::size_t& i, const std::string& flag, std::string inlineValue,
                   bool hasInline) -> std::string {
    if (hasInline) return inlineValue;
    if (i + 1 >= args.size()) throw UsageError{flag + " needs a value"};
    return args[++i];
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    if (a.rfind("--", 0) != 0 || a == "--") {
      if (o.command.empty())
        o.command = a;
      else
        o.positional.push_back(a);
      continue;
    }
    std::string flag = a, inlineValue;
    bool hasInline = false;
    if (auto eq = a.find('='); eq != std::string::npos) {
      flag = a.substr(0, eq);
      inlineValue = a.substr(eq + 1);
      hasInline = true;
    }
    if (flag == "--json" && !hasInline) {
      o.json = true;
    } else if (flag == "--help" && !hasInline) {
      o.command = "help";
    } else if (flag == "--version" && !hasInline) {
      o.command = "version";
    } else if (flag == "--home") {
      o.home = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--zip") {
      o.zip = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--new-file") {
      o.newFile = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--errors-out") {
      o.errorsOut = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--report-pdf") {
      o.reportPdf = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--pdf") {
      o.pdf = value(i, flag, inlineValue, hasInline);
    } else if (flag == "--invalid-accounts") {
      std::string v = value(i, flag, inlineValue, hasInline);
      if (v == "abort")
        o.invalidAccounts = InvalidAccounts::Abort;
      else if (v == "ignore")
        o.invalidAccounts = InvalidAccounts::Ignore;
      else if (v == "close")
        o.invalidAccounts = InvalidAccounts::Close;
      else
        throw UsageError{"--invalid-accounts takes abort, ignore or close"};
    } else {
      throw UsageError{"unknown option " + flag};
    }
  }
  auto allow = [&](std::initializer_list<bool> forbidden, const char* what) {
    for (bool f : forbidden)
      if (f) throw UsageError{std::string("an option given is not one of ") + what};
  };
  if (o.command == "seal") {
    if (o.positional.size() != 1) throw UsageError{"seal takes one INPUT"};
    if (!o.zip) throw UsageError{"seal needs --zip ZIP"};
    allow({o.pdf.has_value()}, "seal's");
  } else if (o.command == "check") {
    if (o.positional.size() != 1) throw UsageError{"check takes one INPUT"};
    allow({o.zip.has_value(), o.newFile.has_value(), o.errorsOut.has_value(),
           o.reportPdf.has_value(), o.pdf.has_value()},
          "check's");
  } else if (o.command == "fee") {
    if (o.positional.size() != 1) throw UsageError{"fee takes one INPUT"};
    allow({o.zip.has_value(), o.newFile.has_value(), o.errorsOut.has_value(),
           o.reportPdf.has_value()},
          "fee's");
  } else if (o.command == "verify") {
    if (o.positional.size() != 1) throw UsageError{"verify takes one FILE"};
  } else if (o.command != "help" && o.command != "version") {
    throw UsageError{o.command.empty() ? "no command given" : "unknown command " + o.command};
  }
  return o;
}

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

void printGrid(const Grid& g) {
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
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
  }
}

void printPlain(const Session& s, const std::vector<std::pair<std::string, std::string>>* vars) {
  const Form& f = s.form;
  if (!f.Label4.caption.empty()) std::printf("Status: %s\n", cp874ToUtf8(f.Label4.caption).c_str());
  if (!f.Label5.caption.empty()) std::printf("Title: %s\n", cp874ToUtf8(f.Label5.caption).c_str());
  if (!f.edtHashvalue.text.empty())
    std::printf("Hash value: %s\n", cp874ToUtf8(f.edtHashvalue.text).c_str());
  if (vars)
    for (const auto& [name, v] : *vars) std::printf("%s = %s\n", name.c_str(), v.c_str());
  printGrid(f.StringGrid1);
}

void printJson(const Session& s, const CliUi& ui, const char* outcome,
               const std::vector<std::pair<std::string, std::string>>* vars) {
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

void checkOnly(Session& s) {
  const std::string path = s.form.edtFileInput.text;
  ExpressChequeCounts express;  // not limited here
  if (!passStructureChecks(s, path, express)) {
    if (!checkRecordTypes(s, path)) return;
    if (!checkRecordLengths(s, path)) return;
  }
  validateFile(s, path);
}

bool lastMessageStartsWith(const CliUi& ui, std::string_view prefix) {
  return !ui.shown.empty() && ui.shown.back().text.rfind(prefix, 0) == 0;
}

int runCommandLine(const Options& o) {
  if (o.command == "help") {
    std::fputs(kUsageText, stdout);
    return kCompleted;
  }
  if (o.command == "version") {
    std::fputs(versionText("batchseal-cli").c_str(), stdout);
    return kCompleted;
  }
  if (o.command == "verify") return verifyCommand(o.positional[0], o.json);

  CliUi ui;
  ui.printAsShown = !o.json;
  ui.invalidAccounts = o.invalidAccounts;
  ProgramFolderChoice folder = chooseProgramFolder(o.home);
  if (!folder.problem.empty()) {
    std::fprintf(stderr, "batchseal-cli: %s\n", folder.problem.c_str());
    return kFailed;
  }
  const ProgramPaths& paths = folder.paths;
  Session session(ui, paths, Clock::system());
  wireSession(session);

  const char* outcome = "failed";
  int code = kFailed;
  std::vector<std::pair<std::string, std::string>> variables;
  bool haveVariables = false;
  auto finish = [&] {
    ui.endProgress();
    if (o.json)
      printJson(session, ui, outcome, haveVariables ? &variables : nullptr);
    else
      printPlain(session, haveVariables ? &variables : nullptr);
    return code;
  };

  if (o.command == "fee" || o.reportPdf) prepareForReports();
  if (!runCommand(session, FormCreate)) return finish();
  Form& form = session.form;
  const std::string& input = o.positional[0];

  if (o.command == "seal") {
    form.edtFileInput.text = input;
    if (o.newFile) {
      checkNew(session);
      form.edtNewFile.text = *o.newFile;
    }
    form.edtZip.text = *o.zip;
    if (!runCommand(session, ToolButton3Click)) return finish();
    bool completed = session.state.reportReady &&
                     lastMessageStartsWith(ui, "Generate hash value and add file to ");
    outcome = completed ? "completed" : "stopped";
    code = completed ? kCompleted : kStopped;
    if (!completed && o.errorsOut) {
      if (form.btnSaveError.enabled) {
        ui.saveFileAnswer = *o.errorsOut;
        if (!runCommand(session, btnSaveErrorClick)) {
          outcome = "failed";
          code = kFailed;
        }
      } else {
        std::fprintf(stderr,
                     "batchseal-cli: the Save button is disabled after this run; "
                     "no error list was written to %s\n",
                     o.errorsOut->c_str());
      }
    }
    if (completed && o.reportPdf) {
      ui.onReport = [&](const ReportDocument& doc) { writeReportPdf(doc, *o.reportPdf); };
      int before = ui.reportsShown;
      if (!runCommand(session, ToolButton4Click)) {
        outcome = "failed";
        code = kFailed;
      } else if (ui.reportsShown == before) {
        std::fprintf(stderr, "batchseal-cli: no report was prepared; %s was not written\n",
                     o.reportPdf->c_str());
      }
    }
    return finish();
  }

  if (o.command == "check") {
    form.edtFileInput.text = input;
    if (!runCommand(session, checkOnly)) return finish();
    bool clean = form.StringGrid1.rowCount() <= 2;
    outcome = clean ? "completed" : "stopped";
    code = clean ? kCompleted : kStopped;
    return finish();
  }

  // fee
  form.edtFileInput.text = input;
  ui.onReport = [&](const ReportDocument& doc) {
    variables = reportVariables(doc);
    haveVariables = true;
    if (o.pdf) writeReportPdf(doc, *o.pdf);
  };
  if (!runCommand(session, MCLFeeClick)) return finish();
  bool shown = ui.reportsShown > 0;
  outcome = shown ? "completed" : "stopped";
  code = shown ? kCompleted : kStopped;
  return finish();
}

}  // namespace

int run(int argc, char** argv) {
  Options o;
  try {
    o = parse(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "batchseal-cli: %s\n%s", e.message.c_str(), kUsageText);
    return kUsage;
  }
  try {
    return runCommandLine(o);
  } catch (const std::exception& e) {
    // Every command failure is caught inside runCommand; this is a fault in the tool itself.
    std::fprintf(stderr, "batchseal-cli: %s\n", e.what());
    return kFailed;
  }
}

}  // namespace bs::cli
