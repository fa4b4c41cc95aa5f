#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch_state.h"
#include "core/form.h"

namespace bs {

class ReportDocument;  // a prepared report, made by the report engine

enum class DialogKind { Information, Confirmation, Warning, Error };
enum class Buttons { Ok, YesNo, YesCancel, AbortIgnore };

// What the commands need of the window system.  Texts are bytes in Windows-874; each adapter
// decodes them where they meet a person.  Adapters: the Qt window, the command line (answers
// from flags) and Scripted (tests queue the answers and read back what was shown).
class Ui {
 public:
  virtual ~Ui() = default;

  // A plain information box with one OK button.
  virtual void messageBox(std::string_view text) = 0;
  // A typed box with a fixed set of buttons; returns the button pressed, or Answer::Closed when
  // the box was closed through its frame.
  virtual Answer messageDialog(DialogKind kind, std::string_view text, Buttons buttons) = 0;
  // An open or save dialog; the chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> fileDialog(const FileDialogSpec& setup) = 0;
  // The modal preview of a prepared report.
  virtual void showReport(const ReportDocument& document) = 0;
  // Progress of long work: `done` of `total` units of the named stage.  Called often; cheap.
  virtual void progress(std::string_view stage, std::uint64_t done, std::uint64_t total) {
    (void)stage, (void)done, (void)total;
  }
  // The Form changed in a way the window should show now (before a modal box, say).
  virtual void formChanged() {}
  // Ends the program at once.
  virtual void exitProgram() = 0;
};

}  // namespace bs
