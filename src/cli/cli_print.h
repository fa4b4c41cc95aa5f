#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cli/cli_ui.h"
#include "core/session.h"

namespace bs::cli {

using Variables = std::vector<std::pair<std::string, std::string>>;

// The window's state after a command as text: status, title, hash value, the report's
// variables if any, then the grid as a table.
void printPlain(const Session& s, const Variables* vars);
// The same as one JSON object, with the outcome and every box shown.
void printJson(const Session& s, const CliUi& ui, const char* outcome, const Variables* vars);

}  // namespace bs::cli
