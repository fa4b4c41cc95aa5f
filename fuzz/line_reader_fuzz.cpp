// The line reader and both structure pre-checks over arbitrary bytes written to a file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/prechecks.h"
#include "core/scripted_ui.h"
#include "core/text_lines.h"

namespace {
std::string scratchPath() {
  static const std::string path = "/tmp/batchseal-fuzz-lines-" + std::to_string(::getpid());
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = scratchPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  // Every byte before the first 0x1A is either in a line or in a line end.
  std::size_t expected = size;
  for (std::size_t i = 0; i < size; ++i)
    if (data[i] == 0x1A) {
      expected = i + 1;
      break;
    }
  bs::LineReader reader(path);
  std::string_view line;
  long lines = 0;
  while (reader.next(line)) {
    ++lines;
    if (reader.lineNumber() != lines) std::abort();
  }
  if (reader.bytesRead() > expected) std::abort();

  bs::ScriptedUi ui;
  bs::Session session(ui, {"/tmp"}, bs::Clock::fixed("20240101"));
  bool types = bs::checkRecordTypes(session, path);
  if (types != session.state.recordTypesValid) std::abort();
  bs::checkRecordLengths(session, path);
  if (session.form.StringGrid1.rowCount() < 2) std::abort();
  return 0;
}
