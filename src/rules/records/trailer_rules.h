#pragma once

#include <string_view>

namespace bs {

class Session;

// The trailer line (999): the declared number of debits, of credits and the total amount, each
// checked for form and compared with what the lines before it added up to.  A file whose last
// debit or direct-debit line carried DDR is not compared.
void checkTrailerRecord(Session& session, std::string_view line, long lineNo);

}  // namespace bs
