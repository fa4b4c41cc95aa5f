#pragma once

#include <string>
#include <string_view>

#include "core/session.h"

namespace bs {

// The archive name for the text of edtZip: unchanged when it has an extension, else with ".zip"
// appended.  The extension starts at the last '.' after the last '/', '\' or ':'.
std::string archiveName(std::string_view zipText);

// The bare file name of a path: what follows its last '/' or '\' (a zip entry name never holds
// a backslash).
std::string entryName(std::string_view path);

// Replaces the whole content of the archive by the one file `file`, stored under its bare name
// and deflated at the fastest level.  The archive is created when there is no file of its name.
// A file of that name that is not a zip archive, or an archive that cannot be written, ends the
// command with the archive engine's message; the old archive then stays as it was.
void addToArchive(const std::string& archive, const std::string& file);

// The archive step of the batch run: the archive named in edtZip.
void addToArchive(Session& session, const std::string& outputPath);

}  // namespace bs
