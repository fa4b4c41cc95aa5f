// The batch run: the name checks, the structure pre-checks, the Express cheque limit, the
// notification fill, the validation, the decision about home-bank accounts that failed their
// check digit, and for a clean batch the summary, the report rows, the sealed output and the
// archive.  This file owns the order of the steps and the gates between them.

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "core/commands.h"
#include "core/error_list.h"
#include "core/text_lines.h"

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

// Ends the output prepared ahead when the run ends, however it ends.
struct DropPendingOutput {
  Session& session;
  explicit DropPendingOutput(Session& s) : session(s) {}
  DropPendingOutput(const DropPendingOutput&) = delete;
  DropPendingOutput& operator=(const DropPendingOutput&) = delete;
  ~DropPendingOutput() { session.pendingOutput.reset(); }
};

void runStep(Session& session, Step step, const char* what) {
  if (!step) stepNotBuilt(what);
  step(session);
}

}  // namespace

void ToolButton3Click(Session& session) {
  Form& f = session.form;
  session.state.reportReady = false;
  f.edtHashvalue.text.clear();
  f.Label5.caption.clear();
  f.Label4.caption.clear();
  clearErrorList(f);
  runBatch(session);
}

void runBatch(Session& session) {
  Form& f = session.form;
  BatchState& st = session.state;
  st.invalidAccountCount = 0;
  f.btnSaveError.enabled = false;

  if (!fileExists(f.edtFileInput.text)) {
    inform(session, "Input File does not exist");
    return;
  }
  if (f.rdoNew.checked && f.edtNewFile.text.empty()) {
    inform(session, "If you select new file for output , should be insert file name");
    return;
  }
  if (f.edtZip.text.empty()) {
    inform(session, "Please insert zip file name");
    return;
  }
  // A name without an extension is accepted; the archive step appends ".zip" to it.
  const std::string_view ext = extensionOf(f.edtZip.text);
  if (!ext.empty() && !isZipExtension(ext)) {
    inform(session, "Invalid zip file name");
    return;
  }

  // A well-formed file is read once for both pre-checks and the express cheque counts; a file
  // with offending lines is read again by the checks that list them.
  ExpressChequeCounts express;
  if (!passStructureChecks(session, f.edtFileInput.text, express)) {
    if (!checkRecordTypes(session, f.edtFileInput.text)) {
      inform(session, "Error Data !");
      f.btnSaveError.enabled = true;
      f.Label4.caption = "Record type invalid code";
      return;
    }
    if (!checkRecordLengths(session, f.edtFileInput.text)) {
      inform(session, "Error Data !");
      f.btnSaveError.enabled = true;
      f.Label4.caption = "Length in record invalid";
      return;
    }

    // Reached only when the file changed between the reads.
    express = countExpressCheques(session, f.edtFileInput.text);
  }
  if (express.xmq > kExpressChequeLimit || express.xdq > kExpressChequeLimit) {
    ask(session, DialogKind::Error,
        "Error Data.  Express Cheque should not more than  20 transaction ", Buttons::Ok);
    return;
  }

  // From here on the payment file carries "N" in every blank notification column, whatever
  // the outcome of the run.
  runStep(session, session.steps.fillNotificationFlags, "fill the notification flags");

  // The sealed output is prepared while the file is validated; a run that stops throws it away.
  DropPendingOutput dropOnReturn{session};
  if (session.steps.prepareOutput) session.steps.prepareOutput(session);

  validateFile(session, f.edtFileInput.text);
  if (!st.batchValid) {
    session.pendingOutput.reset();
    inform(session, "Error Data !");
    return;
  }
  if (st.invalidAccountCount > 0 && !resolveInvalidAccounts(session)) return;

  runStep(session, session.steps.fillPaymentSummary, "fill the payment summary");
  runStep(session, session.steps.fillReportTable, "fill the report table");
  runStep(session, session.steps.writeHashedOutput, "write the hashed output file");

  // The archive name as typed, also when the archive step appended ".zip" to it.
  inform(session, "Generate hash value and add file to " + f.edtZip.text + " completed");
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
