#include "output/archive.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <filesystem>

#include "core/failure.h"

namespace bs {

namespace {

[[noreturn]] void throwZipError(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string message = zip_error_strerror(&error);
  zip_error_fini(&error);
  throw Failure(message);
}

// Closes an archive that was not finished without writing anything.
struct OpenArchive {
  zip_t* za = nullptr;
  ~OpenArchive() {
    if (za) zip_discard(za);
  }
  [[noreturn]] void fail() {
    std::string message = zip_strerror(za);
    zip_discard(za);
    za = nullptr;
    throw Failure(message);
  }
};

void syncToDisk(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string archiveName(std::string_view zipText) {
  std::size_t folder = zipText.find_last_of("/\\:");
  std::size_t dot = zipText.find_last_of('.');
  bool hasExtension =
      dot != std::string_view::npos && (folder == std::string_view::npos || dot > folder);
  std::string name(zipText);
  if (!hasExtension) name += ".zip";
  return name;
}

std::string entryName(std::string_view path) {
  std::size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void addToArchive(const std::string& archive, const std::string& file) {
  // An existing archive that may not be written is opened for reading only, so that the engine
  // refuses to change it.
  int flags = ZIP_CREATE;
  if (::access(archive.c_str(), F_OK) == 0 && ::access(archive.c_str(), W_OK) != 0)
    flags = ZIP_RDONLY;
  int code = 0;
  OpenArchive open;
  open.za = zip_open(archive.c_str(), flags, &code);
  if (!open.za) throwZipError(code);

  zip_int64_t count = zip_get_num_entries(open.za, 0);
  for (zip_int64_t i = 0; i < count; ++i)
    if (zip_delete(open.za, static_cast<zip_uint64_t>(i)) != 0) open.fail();

  zip_source_t* source = zip_source_file(open.za, file.c_str(), 0, -1);
  if (!source) open.fail();
  zip_int64_t index = zip_file_add(open.za, entryName(file).c_str(), source, ZIP_FL_OVERWRITE);
  if (index < 0) {
    zip_source_free(source);
    open.fail();
  }
  if (zip_set_file_compression(open.za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1) != 0)
    open.fail();

  // The engine writes the new archive to a temporary file and renames it over the old one only
  // when it is complete.
  if (zip_close(open.za) != 0) open.fail();
  open.za = nullptr;

  syncToDisk(archive);
  std::filesystem::path folder = std::filesystem::path(archive).parent_path();
  syncToDisk(folder.empty() ? std::string(".") : folder.string());
}

void addToArchive(Session& session, const std::string& outputPath) {
  addToArchive(archiveName(session.form.edtZip.text), outputPath);
}

}  // namespace bs
