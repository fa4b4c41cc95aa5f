// The validation pass over arbitrary bytes, on a session wired exactly as the window wires it,
// with its own copy of the installation's table files for every input.  A data fault is an
// error row; a refused conversion or a store error is the one failure type; anything else (a
// crash, another exception, a grid without its header row) is a finding.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "commands/commands.h"
#include "commands/session_setup.h"
#include "commands/validate_file.h"
#include "core/failure.h"
#include "core/scripted_ui.h"

namespace {

namespace fs = std::filesystem;

const char* const kTables[] = {"ReportTable", "ReportTableDetail", "addAccBatchError"};

// Fresh table files made from the installation's schemas, once per process; every input gets
// a copy of them.
struct Folders {
  fs::path root;
  fs::path pristine;
  fs::path program;
  fs::path payment;
};

void makeTable(const fs::path& file, const fs::path& schema) {
  std::ifstream in(schema);
  std::stringstream sql;
  sql << in.rdbuf();
  sqlite3* db = nullptr;
  if (sqlite3_open(file.c_str(), &db) != SQLITE_OK ||
      sqlite3_exec(db, sql.str().c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    std::abort();
  sqlite3_close(db);
}

const Folders& folders() {
  static const Folders f = [] {
    Folders made;
    // A memory-backed folder where there is one: the store forces every commit to disk.
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    made.root = base / ("batchseal-fuzz-validate-" + std::to_string(::getpid()));
    made.pristine = made.root / "pristine";
    made.program = made.root / "program";
    made.payment = made.root / "payment.txt";
    fs::create_directories(made.pristine);
    fs::create_directories(made.program / "Data");
    for (const char* t : kTables)
      makeTable(made.pristine / (std::string(t) + ".DAT"),
                fs::path(BATCHSEAL_SOURCE_DIR) / "install" / "Data" / (std::string(t) + ".sql"));
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(folders().root, ec);
    });
    return made;
  }();
  return f;
}

void validateNamedFile(bs::Session& s) {
  bs::validateFile(s, s.form.edtFileInput.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Folders& f = folders();
  for (const char* t : kTables) {
    const std::string name = std::string(t) + ".DAT";
    fs::copy_file(f.pristine / name, f.program / "Data" / name,
                  fs::copy_options::overwrite_existing);
  }
  std::FILE* out = std::fopen(f.payment.c_str(), "wb");
  if (!out) return 0;
  std::fwrite(data, 1, size, out);
  std::fclose(out);

  bs::ScriptedUi ui;
  bs::Session session(ui, {f.program}, bs::Clock::fixed("20261209"));
  bs::setUpSession(session);
  bs::FormCreate(session);
  session.form.edtFileInput.text = f.payment.string();
  // A refused conversion ends the command with its message: allowed.
  bs::runCommand(session, validateNamedFile);

  // Whatever the file held, the grid keeps its header row and the final empty row, and the
  // batch is valid only when no row was listed.
  const bs::Grid& grid = session.form.StringGrid1;
  if (grid.rowCount() < 2) std::abort();
  if (session.state.batchValid && grid.rowCount() > 2 && session.state.invalidAccountCount == 0)
    std::abort();
  return 0;
}
