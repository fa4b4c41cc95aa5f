#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct zip;
struct zip_source;

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

// A new archive holding one file, written beside the archive it replaces and forced to disk;
// commit() puts it in place.  Dropped without commit(), it leaves the old archive as it was and
// removes what it wrote.  Every failure is a Failure naming the archive.
class PreparedArchive {
 public:
  // Refuses an archive path that is a folder, a device or a pipe, an archive marked read-only
  // and a file that is not a zip archive.
  explicit PreparedArchive(const std::string& archive);
  ~PreparedArchive();
  PreparedArchive(const PreparedArchive&) = delete;
  PreparedArchive& operator=(const PreparedArchive&) = delete;

  // Writes the archive with the file `file` (deflated at the fastest level) as its one entry,
  // under the bare name of `entryFrom` and with the time and permissions of `file`.
  void add(const std::string& file, const std::string& entryFrom);
  // The same for an output file whose lines after `hashLine` were deflated ahead.
  void add(const std::string& file, const std::string& entryFrom, std::string_view hashLine,
           const DeflatedBody& body);
  // Renames the new archive over the old one and syncs the folder.
  void commit();

 private:
  void write(zip_source* (*makeSource)(zip*, void*), void* context, const std::string& entry);

  std::string archive_;
  std::string tempPath_;
  bool committed_ = false;
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
