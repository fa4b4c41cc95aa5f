#pragma once

#include <string_view>

namespace bs {

class Session;

// The payee line ("004") of the current credit.  Stores the payee's names in the credit context
// before any check runs, so that the withholding-tax and invoice lines that follow can name the
// payee, then checks the line's fields under `product` and the credit's fax and WHT flags.
void checkPayeeRecord(Session& session, std::string_view line, long lineNo,
                      std::string_view product);

}  // namespace bs
