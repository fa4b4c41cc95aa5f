#pragma once

#include <optional>
#include <string>

#include "core/session.h"

namespace bs {

// Writes "N" into column 259 (Beneficiary Notification) of every credit line where it is a blank,
// in the payment file itself.  Every other byte stays as it is, line ends included (a line that
// ends in a lone CR keeps it); a 0x1A byte and everything after it are dropped.  The file is
// swapped whole: at any moment it is either the old file or the complete filled one.  A file that
// needs no change is not rewritten.  Returns whether the file was rewritten.  `changesFile`, when
// an earlier read of the file already told whether the fill would change it, saves reading it
// once more to find out.  `sweepStaleTemps` as for ReplacementFile: off while the sealed output
// that will replace the payment file is being written beside it.
bool fillNotificationFlags(const std::string& paymentFile, Ui* progress = nullptr,
                           std::optional<bool> changesFile = std::nullopt,
                           bool sweepStaleTemps = true);

// The step of the batch run: the payment file named in edtFileInput.
void fillNotificationFlags(Session& session, std::optional<bool> changesFile = std::nullopt,
                           bool sweepStaleTemps = true);

}  // namespace bs
