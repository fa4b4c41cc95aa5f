#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/batch_state.h"
#include "core/clock.h"
#include "core/credit_context.h"
#include "core/form.h"
#include "core/ui.h"

namespace bs {

class TableStore;    // the SQLite table store (store/)
class ReportEngine;  // the report engine (reports/)

// The program folder and its subfolders Data/ and Report/; the scratch files live in the
// program folder itself.
struct ProgramPaths {
  std::filesystem::path programFolder;
  std::filesystem::path dataFolder() const { return programFolder / "Data"; }
  std::filesystem::path reportFolder() const { return programFolder / "Report"; }
};

// What lives from one command to the next.
class Session {
 public:
  Session(Ui& ui, ProgramPaths paths, Clock clock);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Ui& ui;
  ProgramPaths paths;
  Clock clock;
  BatchState state;
  Form form;

  // The current-credit row; the table store's one when it is connected.
  std::unique_ptr<CreditContextStore> creditContext;
  std::shared_ptr<TableStore> store;
  std::shared_ptr<ReportEngine> reports;
};

}  // namespace bs
