#pragma once

#include <cstdint>
#include <string>
#include <string_view>


namespace bs {

// The archive name for the text of edtZip: unchanged when it has an extension, else with ".zip"
// appended.  The extension starts at the last '.' after the last '/', '\' or ':'.
std::string archiveName(std::string_view zipText);

// The bare file name of a path: what follows its last '/' or '\' (a zip entry name never holds
// a backslash).
std::string entryName(std::string_view path);

// The lines of an output file after its hash line, already deflated (a raw deflate stream,
// fastest level, complete with its final block) into the open file `fd`.
struct DeflatedBody {
  int fd = -1;
  std::uint64_t deflatedSize = 0;  // bytes of the stream in `fd`, from offset 0
  std::uint64_t size = 0;          // bytes it inflates to
  std::uint32_t crc = 0;           // their CRC-32
};

// Replaces the whole content of the archive by the one file `file`, stored under its bare name
// and deflated at the fastest level.  The archive is created when there is no file of its name.
// A file of that name that is not a zip archive, or an archive that cannot be written, ends the
// command with the archive engine's message; the old archive then stays as it was.
void addToArchive(const std::string& archive, const std::string& file);

// The same for an output file whose lines after the hash line `hashLine` were deflated ahead:
// only the hash line is deflated here, and the entry is the two streams joined.
void addToArchive(const std::string& archive, const std::string& file, std::string_view hashLine,
                  const DeflatedBody& body);

}  // namespace bs
