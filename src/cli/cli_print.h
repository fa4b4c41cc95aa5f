#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_ui.h"
#include "core/session.h"

namespace bs::cli {

using Variables = std::vector<std::pair<std::string, std::string>>;

// Text printed under a row of the grid; empty for none.
using RowNote = std::function<std::string(int row)>;

// The window's state after a command as text: status, title, hash value, the report's
// variables if any, then the grid as a table, each row followed by its note if any.
void printPlain(const Session& s, const Variables* vars, const RowNote& note = {});
// The same as one JSON object, with the outcome and every box shown.
void printJson(const Session& s, const CliUi& ui, const char* outcome, const Variables* vars);

}  // namespace bs::cli
