#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/scripted_ui.h"
#include "core/session.h"
#include "support/test_support.h"

namespace bs::test {

// A session with a scripted Ui whose program folder is a fresh copy of the build's.
struct OutputSession {
  TempDir dir;
  ScriptedUi ui;
  Session session{ui, ProgramPaths{makeProgramFolder(dir)}, Clock::fixed("20261209")};

  std::string path(const char* name) const { return (dir / name).string(); }
  // Replace mode unless `newFile` is given.
  void name(const std::string& input, const std::string& zip, const std::string& newFile = "") {
    session.form.edtFileInput.text = input;
    session.form.edtZip.text = zip;
    session.form.rdoReplace.checked = newFile.empty();
    session.form.rdoNew.checked = !newFile.empty();
    session.form.edtNewFile.text = newFile;
  }
};

// A payment-like file: a header, a debit, `credits` credit lines each with its payee, a trailer.
// Every second credit has a blank notification flag.
inline std::string paymentFile(int credits) {
  std::vector<std::string> lines;
  lines.push_back(LineBuilder("001", 96).set(4, 15, "COMPANY0001"));
  lines.push_back(LineBuilder("002", 109).set(4, 6, "MCL"));
  for (int i = 0; i < credits; ++i) {
    lines.push_back(LineBuilder("003", 355)
                        .setRight(4, 13, std::to_string(i))
                        .set(259, 259, i % 2 ? "F" : " ")
                        .set(336, 355, "CHARGES-TEXT-HERE-Bx"));
    lines.push_back(LineBuilder("004", 816).set(18, 32, "1234567890").set(40, 60, "PAYEE NAME"));
  }
  lines.push_back(LineBuilder("999", 31));
  return joinLines(lines);
}

// Runs a shell command; its standard output, and its exit status in `status`.
inline std::string runTool(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int rc = ::pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

inline std::string shellQuoted(const std::string& path) {
  return "'" + path + "'";
}

// The files of a folder, by name.
inline std::vector<std::string> filesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace bs::test
