// The gates between the user's names and the use of the payment file: the name checks, the
// structure pre-checks, the Express cheque limit, the notification fill, the validation and the
// decision about home-bank accounts that failed their check digit.  The batch run, the fee
// report and batchseal-cli's check pass through this one sequence.

#include "commands/batch_gates.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "commands/commands.h"
#include "commands/validate_file.h"
#include "core/error_list.h"
#include "core/prechecks.h"
#include "core/text_lines.h"
#include "output/hashed_output.h"
#include "output/notification_fill.h"

namespace bs {
namespace {

// More credits than this under either express cheque product are refused.
constexpr long kExpressChequeLimit = 20;

void inform(Session& session, std::string_view text) {
  session.ui.formChanged();
  session.ui.messageBox(text);
}

Answer ask(Session& session, DialogKind kind, std::string_view text, Buttons buttons) {
  session.ui.formChanged();
  return session.ui.messageDialog(kind, text, buttons);
}

// A plain file of that name exists (a folder is not a payment file).
bool fileExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// From the last '.' after the last folder separator to the end, the '.' included; empty when
// the name has none.
std::string_view extensionOf(std::string_view name) {
  const std::size_t folderEnd = name.find_last_of("\\:/");
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  if (folderEnd != std::string_view::npos && dot < folderEnd) return {};
  return name.substr(dot);
}

bool isZipExtension(std::string_view ext) {
  if (ext.size() != 4) return false;
  static constexpr std::string_view zip = ".ZIP";
  for (std::size_t i = 0; i < 4; ++i) {
    char c = ext[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != zip[i]) return false;
  }
  return true;
}

// The names the batch run writes to; false when one is refused (the user was told why).
bool passOutputNames(Session& session) {
  const Form& f = session.form;
  if (f.rdoNew.checked && f.edtNewFile.text.empty()) {
    inform(session, "If you select new file for output , should be insert file name");
    return false;
  }
  if (f.edtZip.text.empty()) {
    inform(session, "Please insert zip file name");
    return false;
  }
  // A name without an extension is accepted; the archive step appends ".zip" to it.
  const std::string_view ext = extensionOf(f.edtZip.text);
  if (!ext.empty() && !isZipExtension(ext)) {
    inform(session, "Invalid zip file name");
    return false;
  }
  return true;
}

// Credits under XMQ and under XDQ debits, over the whole file.
ExpressChequeCounts countExpressCheques(Session& session, const std::string& path) {
  ExpressChequeCounts counts;
  std::string product;
  LineReader reader(path);
  std::string_view line;
  while (reader.next(line)) {
    const std::string_view type = cut(line, 1, 3);
    if (type == "002") {
      product = std::string(cut(line, 4, 6));
    } else if (type == "003") {
      if (product == "XMQ") ++counts.xmq;
      if (product == "XDQ") ++counts.xdq;
    }
    if (reader.lineNumber() % 4096 == 0)
      session.ui.progress("Counting express cheques", reader.bytesRead(), reader.fileSize());
  }
  return counts;
}

// Runs the two structure checks that list the offending lines, after a read found one; false
// when they list one (the user was told), true when the file changed and passes now.
bool listStructureFaults(Session& session, const Gates& gates, const std::string& path) {
  Form& f = session.form;
  const auto refuse = [&](const char* status) {
    if (!gates.announce) return false;
    inform(session, "Error Data !");
    f.btnSaveError.enabled = true;
    f.Label4.caption = status;
    return false;
  };
  if (!checkRecordTypes(session, path)) return refuse("Record type invalid code");
  if (!checkRecordLengths(session, path)) return refuse("Length in record invalid");
  return true;
}

// What a validation that runs ahead of the steps before it changes of the form and the state: put
// back when one of those steps stops the run, so that the user sees what that step alone shows.
struct FormSnapshot {
  explicit FormSnapshot(const Session& session)
      : grid(session.form.StringGrid1),
        state(session.state),
        status(session.form.Label4.caption),
        saveEnabled(session.form.btnSaveError.enabled) {}
  void restore(Session& session) const {
    session.form.StringGrid1 = grid;
    session.state = state;
    session.form.Label4.caption = status;
    session.form.btnSaveError.enabled = saveEnabled;
  }
  Grid grid;
  BatchState state;
  std::string status;
  bool saveEnabled;
};

// Without an express cheque limit or a seal (the fee report, batchseal-cli's check) nothing
// happens between the structure checks and the validation, so one read serves both: every line's
// structure is checked just before the rules see it.  The validation runs as if the file had
// passed; a line that fails ends it, and what it changed is put back before the structure checks
// read the file again to list the offending lines, so the user sees what the checks alone show.
// Its current-credit row reaches the table store only once the whole file has passed.
bool passStructureAndValidate(Session& session, const Gates& gates, const std::string& path) {
  // The validation keeps this thread busy; the file is read on another meanwhile.
  LineReader reader(path, true);  // a file that cannot be opened changes nothing
  // Whichever way the checks go, they first empty the grid.
  clearErrorList(session.form);
  const FormSnapshot unchecked(session);

  markStructureChecked(session);
  DeferredCreditContext context(*session.creditContext);
  bool passed = false;
  try {
    passed =
        validateFile(session, reader, context, [](const LineReader& r, std::string_view& line) {
          return passesStructureChecks(line, r.lineLength());
        });
  } catch (...) {
    // A failure counts as the validation's only when the checks would have let it run.
    if (StructureScan().rest(reader)) {
      context.commit();
      throw;
    }
  }
  if (passed) {
    context.commit();
    return true;
  }
  unchecked.restore(session);
  return listStructureFaults(session, gates, path);
}

// The file and its state as the next pass reads it, for showing its records later.
void rememberCheckedFile(BatchState& st, const std::string& path) {
  st.checkedPath = path;
  st.checkedFingerprintKnown = fileFingerprint(path, st.checkedFingerprint);
}

bool overExpressLimit(const ExpressChequeCounts& express) {
  return express.xmq > kExpressChequeLimit || express.xdq > kExpressChequeLimit;
}

void refuseExpressCheques(Session& session) {
  ask(session, DialogKind::Error,
      "Error Data.  Express Cheque should not more than  20 transaction ", Buttons::Ok);
}

// The steps one read at a time: the structure checks (unless `listedNone`: the checks that list
// the offending lines found none, as the file changed since an earlier read), the express cheque
// limit, the notification fill and the start of the sealed output, then the validation.
bool passStepByStep(Session& session, const Gates& gates, const std::string& path, bool listedNone,
                    SealPreparation& prepared) {
  BatchState& st = session.state;
  ExpressChequeCounts express;
  std::optional<bool> fillChangesFile;
  bool fill = true;
  if (!listedNone && passStructureChecks(session, path, express, &fill)) {
    fillChangesFile = fill;
  } else {
    if (!listedNone && !listStructureFaults(session, gates, path)) return false;
    if (gates.expressLimit) express = countExpressCheques(session, path);
  }
  if (gates.expressLimit && overExpressLimit(express)) {
    refuseExpressCheques(session);
    return false;
  }
  if (gates.sealing) {
    // From here on the payment file carries "N" in every blank notification column, whatever
    // the outcome of the run.
    fillNotificationFlags(session, fillChangesFile);
    prepared.output = startOutputPreparation(session);
    prepared.summary =
        std::make_unique<SummaryGatherer>(folderOf(outputPath(session.form)), session.state);
  }
  rememberCheckedFile(st, path);
  validateFile(session, path, prepared.summary.get());
  return true;
}

// The first read of the current-credit row is the validation's one use of the table store
// before its end: right after it, the store empties the report tables on a helper thread.
class ClearTablesAfterFirstRead : public CreditContextStore {
 public:
  explicit ClearTablesAfterFirstRead(Session& session) : session_(session) {}
  void reset(std::string_view account) override { session_.creditContext->reset(account); }
  void writeNames(std::string_view nameEn, std::string_view nameTh) override {
    session_.creditContext->writeNames(nameEn, nameTh);
  }
  CreditContext read() override {
    CreditContext row = session_.creditContext->read();
    if (!started_) clearReportTablesAhead(session_);
    started_ = true;
    return row;
  }

 private:
  Session& session_;
  bool started_ = false;
};

// The batch run reads the payment file once for the structure checks, the express cheque counts,
// whether the notification fill would change the file, the validation and the summary: every
// line's structure is checked just before the rules see the line as the fill will leave it.  The
// steps still decide in their order: a structure fault, the express cheque limit or a failed fill
// stops the run with the grid and the state that step alone leaves, the validation's work put
// back and its current-credit row untouched; a failure of the validation counts only when those
// steps would have let it run, and then comes after the fill.  Meanwhile the sealed output is on
// its way, its lines as the fill will leave them, and is sealed into its archive once they are
// written; a run that stops drops it, and the archive with it, before it tells the user why.
bool passStructureThenValidate(Session& session, const Gates& gates, const std::string& path,
                               SealPreparation& prepared) {
  if (!gates.sealing) return passStepByStep(session, gates, path, false, prepared);
  Form& f = session.form;
  BatchState& st = session.state;
  rememberCheckedFile(st, path);
  prepared.output = startOutputPreparation(session, true);
  LineReader reader(path);  // a file that cannot be opened changes nothing
  clearErrorList(f);
  const FormSnapshot unchecked(session);
  markStructureChecked(session);
  const FormSnapshot checked(session);
  prepared.summary = std::make_unique<SummaryGatherer>(folderOf(outputPath(f)), st);

  ClearTablesAfterFirstRead firstRead(session);
  DeferredCreditContext context(firstRead);
  StructureScan scan;
  std::string filledLine;
  const auto accept = [&](const LineReader& r, std::string_view& line) {
    if (!scan.line(r, line)) return false;
    line = asFilled(line, filledLine);
    return true;
  };
  bool passed = false;
  std::exception_ptr failure;
  try {
    passed = validateFile(session, reader, context, accept, prepared.summary.get());
    if (passed) scan.end(reader);
  } catch (...) {
    failure = std::current_exception();
    passed = scan.rest(reader);
  }
  const auto stop = [&](const FormSnapshot& shown) {
    shown.restore(session);
    prepared = SealPreparation{};
  };
  if (!passed) {
    stop(unchecked);
    if (!listStructureFaults(session, gates, path)) return false;
    return passStepByStep(session, gates, path, true, prepared);
  }
  if (overExpressLimit(scan.express)) {
    stop(checked);
    refuseExpressCheques(session);
    return false;
  }
  try {
    // From here on the payment file carries "N" in every blank notification column, whatever
    // the outcome of the run.  The output started ahead removed the stale temporary files beside
    // the payment file; the fill leaves the output's own there.
    fillNotificationFlags(session, scan.fillChangesFile, false);
  } catch (...) {
    stop(checked);
    throw;
  }
  // Past the fill, only the two checks after this function stop a clean run before its summary.
  if (!failure && !(gates.stopOnFaults && !st.batchValid) &&
      !(gates.resolveAccounts && st.invalidAccountCount > 0))
    keepReportTablesCleared(session);
  context.commit();
  rememberCheckedFile(st, path);
  if (failure) std::rethrow_exception(failure);
  return true;
}

}  // namespace

bool passGates(Session& session, const Gates& gates, SealPreparation* preparation) {
  Form& f = session.form;
  BatchState& st = session.state;
  const std::string path = f.edtFileInput.text;
  st.invalidAccountCount = 0;
  f.btnSaveError.enabled = false;

  if (gates.inputMustExist && !fileExists(path)) {
    inform(session, "Input File does not exist");
    return false;
  }
  if (gates.outputNames && !passOutputNames(session)) return false;

  SealPreparation prepared;
  if (!gates.expressLimit && !gates.sealing) {
    rememberCheckedFile(st, path);
    if (!passStructureAndValidate(session, gates, path)) return false;
  } else if (!passStructureThenValidate(session, gates, path, prepared)) {
    return false;
  }
  if (gates.stopOnFaults && !st.batchValid) {
    prepared = SealPreparation{};
    inform(session, "Error Data !");
    return false;
  }
  if (gates.resolveAccounts && st.invalidAccountCount > 0 && !resolveInvalidAccounts(session))
    return false;

  if (preparation) *preparation = std::move(prepared);
  return true;
}

bool resolveInvalidAccounts(Session& session) {
  BatchState& st = session.state;
  st.invalidAccountAction = ask(session, DialogKind::Warning,
                                "There are some invalid ZNB Account.  Please choose action to do. ",
                                Buttons::AbortIgnore);
  if (st.invalidAccountAction != Answer::Abort && st.invalidAccountAction != Answer::Ignore)
    return false;  // the prompt was closed: no further message
  confirmIgnoreInvalidAccounts(session);
  if (!st.batchValid) {
    ask(session, DialogKind::Error, "Error Data", Buttons::Ok);
    return false;
  }
  return true;
}

void confirmIgnoreInvalidAccounts(Session& session) {
  BatchState& st = session.state;
  if (st.invalidAccountAction == Answer::Ignore) {
    const Answer a = ask(session, DialogKind::Confirmation,
                         "Please Confirm to Ignore invalid ZNB Account. ", Buttons::YesCancel);
    if (a == Answer::Yes) {
      st.batchValid = true;
    } else if (a == Answer::Cancel || a == Answer::Closed) {
      st.batchValid = false;
      markInvalid(session.form);
    }
  } else if (st.invalidAccountAction == Answer::Abort) {
    st.batchValid = false;
    markInvalid(session.form);
  }
}

}  // namespace bs
