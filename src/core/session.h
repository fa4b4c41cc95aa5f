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

class Session;
class TableStore;    // the SQLite table store (store/)
class ReportEngine;  // the report engine (reports/)

// The program folder and its subfolders Data/ and Report/; the scratch files live in the
// program folder itself.
struct ProgramPaths {
  std::filesystem::path programFolder;
  std::filesystem::path dataFolder() const { return programFolder / "Data"; }
  std::filesystem::path reportFolder() const { return programFolder / "Report"; }
};

// The record rules the validation driver dispatches to, one per record type.  `product` is
// currentProduct; `whtTypeCount` is handed to the withholding-tax rule only.
using LineRule = void (*)(Session&, std::string_view line, long lineNo);
using ProductLineRule = void (*)(Session&, std::string_view line, long lineNo,
                                 std::string_view product);
using WhtLineRule = void (*)(Session&, std::string_view line, long lineNo, int whtTypeCount,
                             std::string_view product);

struct RecordRules {
  LineRule checkHeaderRecord = nullptr;
  ProductLineRule checkDebitRecord = nullptr;
  ProductLineRule checkCreditRecord = nullptr;
  ProductLineRule checkPayeeRecord = nullptr;
  WhtLineRule checkWhtRecord = nullptr;
  ProductLineRule checkInvoiceRecord = nullptr;
  LineRule checkDirectDebitRecord = nullptr;
  LineRule checkDirectDebitItemRecord = nullptr;
  LineRule checkTrailerRecord = nullptr;
};

// The steps of the commands that other layers build.  A step that is null is not part of this
// build: the command that needs it says so plainly and never reports success for it.
using Step = void (*)(Session&);
struct CommandSteps {
  Step fillNotificationFlags = nullptr;  // before validation, rewrites the payment file
  Step prepareOutput = nullptr;          // after the fill: the sealed output begins, unseen
  Step fillPaymentSummary = nullptr;
  Step fillReportTable = nullptr;
  Step writeHashedOutput = nullptr;      // output file and archive
  Step printPaymentReports = nullptr;    // "Report"
  Step tierRateFeeReport = nullptr;      // "Calculate Tier Rate Report"
  Step loadBeneChargeSetting = nullptr;  // at start
  Step connectStore = nullptr;           // at start: close the store, point it at Data/
  Step commandStarted = nullptr;         // the store opens its per-command transaction
  Step commandEnded = nullptr;           // ... and commits it, also after a failure
};

// Work a step starts ahead of the step that uses it, such as the sealed output prepared on a
// worker thread while the validation runs.  Dropping it stops the work and removes whatever it
// wrote, so that a run that stops leaves nothing of it behind.
class PendingWork {
 public:
  virtual ~PendingWork() = default;
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
  RecordRules rules;
  CommandSteps steps;

  // The current-credit row; the table store's one when it is connected.
  std::unique_ptr<CreditContextStore> creditContext;
  std::shared_ptr<TableStore> store;
  std::shared_ptr<ReportEngine> reports;

  // The output being prepared during a batch run; dropped when the run ends.
  std::unique_ptr<PendingWork> pendingOutput;
};

}  // namespace bs
