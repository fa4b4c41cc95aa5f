#pragma once

#include <memory>

#include "core/session.h"
#include "output/output_preparation.h"
#include "reports/payment_summary.h"

namespace bs {

// The gates a command passes before it may use the payment file named in edtFileInput, in the
// order they run.  The batch run passes them all; the fee report and batchseal-cli's check
// pass the ones their rows below name.
struct Gates {
  bool inputMustExist;   // "Input File does not exist"
  bool outputNames;      // the new file's and the archive's names
  bool announce;         // "Error Data !" and the status line when a pre-check fails
  bool expressLimit;     // at most 20 credits under either express cheque product
  bool sealing;          // the notification fill, and the sealed output started on its way
  bool stopOnFaults;     // every fault stops; otherwise only refused home-bank accounts do
  bool resolveAccounts;  // the Abort/Ignore decision about failed home-bank accounts
};

// clang-format off
inline constexpr Gates kBatchRunGates {true,  true,  true,  true,  true,  true,  true};
inline constexpr Gates kFeeReportGates{true,  false, true,  false, false, false, true};
inline constexpr Gates kCheckGates    {false, false, false, false, false, false, false};
// clang-format on

// What the batch run makes ready while the file is validated: the sealed output on its way and
// the payment summary gathered from the validated lines.
struct SealPreparation {
  std::unique_ptr<OutputPreparation> output;
  std::unique_ptr<SummaryGatherer> summary;
};

// Runs the gates; true when the command may go on.  With `sealing`, what is made ready while the
// file is validated is handed to `preparation`; it is dropped when a later gate stops.
bool passGates(Session& session, const Gates& gates, SealPreparation* preparation = nullptr);

}  // namespace bs
