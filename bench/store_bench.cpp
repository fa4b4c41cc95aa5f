// The table store's share of a validation pass: one command in which every credit resets the
// current-credit row, its payee writes the names and a detail line reads the row back.
// Usage: store_bench [credits] — works on a copy of the build's Data/ in a temporary folder.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "core/failure.h"
#include "store/sqlite_credit_context.h"
#include "store/table_store.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  long credits = argc > 1 ? std::atol(argv[1]) : 100000;
  fs::path folder =
      fs::temp_directory_path() / ("batchseal-store-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  for (const char* name : {"ReportTable.DAT", "ReportTableDetail.DAT", "addAccBatchError.DAT"})
    fs::copy_file(fs::path(BATCHSEAL_PROGRAM_DIR) / "Data" / name, folder / name,
                  fs::copy_options::overwrite_existing);
  int status = 0;
  try {
    auto store = std::make_shared<bs::TableStore>();
    store->setDirectory(folder);
    bs::SqliteCreditContext context(store);
    std::string nameEn(70, ' '), nameTh(100, ' ');
    auto start = std::chrono::steady_clock::now();
    store->beginCommand();
    for (long i = 0; i < credits; ++i) {
      std::string account = std::to_string(1000000000 + i);
      context.reset(account);
      nameEn.replace(0, account.size(), account);
      context.writeNames(nameEn, nameTh);
      if (context.read().account != account) throw bs::Failure("context lost its account");
    }
    store->endCommand();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%ld credits: %.3f s in the table store (%.2f us per credit)\n", credits, seconds,
                seconds * 1e6 / static_cast<double>(credits));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "store_bench: %s\n", e.what());
    status = 1;
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
  return status;
}
