#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/scripted_ui.h"
#include "core/session.h"

namespace bs::test {

// A payment file that passes every check: a header, one debit of `product` with `credits`
// credits of 1,000.00 baht, each followed by its payee, and the trailer.  The credits leave
// their notification column blank, so the fill changes the file.
std::string cleanPaymentFile(std::size_t credits, std::string_view product = "PAY");

// A session wired as the window wires it, on the program folder `program`, started as the
// window starts.  Steps that this build does not have yet and that a clean run needs on the way
// to the sealed output (the summary and the report rows) do nothing.
struct WiredSession {
  explicit WiredSession(const std::filesystem::path& program);
  ScriptedUi ui;
  Session session;

  // Fills in the names and runs the batch run as the window does; true when it completed.
  bool runBatch(const std::string& payment, const std::string& zip,
                const std::string& newFile = "");
  // The last message shown, and its kind.
  std::string lastMessage() const;
  std::string lastKind() const;
};

// Whether `path` holds exactly `bytes`.
bool holds(const std::filesystem::path& path, std::string_view bytes);

}  // namespace bs::test
