#include "output/archive.h"

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "core/failure.h"
#include "core/platform_file.h"
#include "output/raw_deflate.h"

namespace bs {

namespace {

// The archive engine's message, with the archive it is about.
[[noreturn]] void failArchive(const std::string& archive, const std::string& reason) {
  throw Failure("Cannot write archive \"" + archive + "\". " + reason);
}

[[noreturn]] void throwZipError(const std::string& archive, int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string message = zip_error_strerror(&error);
  zip_error_fini(&error);
  failArchive(archive, message);
}

// Closes an archive that was not finished without writing anything.
struct OpenArchive {
  std::string name;  // the archive as the user named it
  zip_t* za = nullptr;
  ~OpenArchive() {
    if (za) zip_discard(za);
  }
  [[noreturn]] void fail() {
    std::string message = zip_strerror(za);
    zip_discard(za);
    za = nullptr;
    failArchive(name, message);
  }
};

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

namespace {

// The entry of an output file whose lines were deflated ahead: the hash line deflated here as
// the stream's first, not final, block (a sync flush ends it on a byte boundary), then the lines'
// own stream with its final block.  The archive engine copies the joined stream as it is.
class PredeflatedEntry {
 public:
  PredeflatedEntry(const std::string& file, std::string_view hashLine, const DeflatedBody& body)
      : body_(body) {
    RawDeflate deflater;
    z_stream& z = deflater.z;
    std::vector<unsigned char> in(hashLine.begin(), hashLine.end());
    head_.resize(deflateBound(&z, in.size()) + 16);
    z.next_in = in.data();
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = head_.data();
    z.avail_out = static_cast<uInt>(head_.size());
    int rc = deflate(&z, Z_SYNC_FLUSH);
    head_.resize(head_.size() - z.avail_out);
    if (rc != Z_OK || z.avail_in != 0) throw Failure("deflate failed");

    uLong headCrc = crc32(0L, in.data(), static_cast<uInt>(in.size()));
    crc_ = static_cast<std::uint32_t>(
        crc32_combine(headCrc, body.crc, static_cast<z_off_t>(body.size)));
    size_ = in.size() + body.size;

    // The entry carries the output file's time and permissions, as for a file added by name.
    FileFacts facts;
    if (fileFacts(file, facts)) {
      mtime_ = static_cast<time_t>(facts.mtime);
      mode_ = facts.mode;
    } else {
      mtime_ = std::time(nullptr);
    }
    zip_error_init(&error_);
  }
  ~PredeflatedEntry() { zip_error_fini(&error_); }

  static zip_int64_t callback(void* self, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    return static_cast<PredeflatedEntry*>(self)->command(data, len, cmd);
  }

 private:
  zip_int64_t command(void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    switch (cmd) {
      case ZIP_SOURCE_OPEN:
        offset_ = 0;
        return 0;
      case ZIP_SOURCE_READ:
        return read(static_cast<unsigned char*>(data), len);
      case ZIP_SOURCE_CLOSE:
        return 0;
      case ZIP_SOURCE_STAT: {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &error_);
        if (!st) return -1;
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD |
                    ZIP_STAT_ENCRYPTION_METHOD | ZIP_STAT_MTIME;
        st->size = size_;
        st->comp_size = head_.size() + body_.deflatedSize;
        st->crc = crc_;
        st->comp_method = ZIP_CM_DEFLATE;
        st->encryption_method = ZIP_EM_NONE;
        st->mtime = mtime_;
        return sizeof(*st);
      }
      case ZIP_SOURCE_GET_FILE_ATTRIBUTES: {
        auto* a = ZIP_SOURCE_GET_ARGS(zip_file_attributes_t, data, len, &error_);
        if (!a) return -1;
        a->valid = ZIP_FILE_ATTRIBUTES_HOST_SYSTEM | ZIP_FILE_ATTRIBUTES_GENERAL_PURPOSE_BIT_FLAGS;
        a->host_system = ZIP_OPSYS_UNIX;
        if (mode_ != 0) {
          a->valid |= ZIP_FILE_ATTRIBUTES_EXTERNAL_FILE_ATTRIBUTES;
          a->external_file_attributes = static_cast<zip_uint32_t>(mode_ & 0xFFFF) << 16;
        }
        // Deflated at the fastest level.
        a->general_purpose_bit_flags = 0x0004;
        a->general_purpose_bit_mask = 0x0006;
        return sizeof(*a);
      }
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, len);
      case ZIP_SOURCE_FREE:
        delete this;
        return 0;
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SUPPORTS, ZIP_SOURCE_GET_FILE_ATTRIBUTES, -1);
      default:
        zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }

  zip_int64_t read(unsigned char* data, zip_uint64_t len) {
    zip_uint64_t given = 0;
    if (offset_ < head_.size()) {
      std::size_t n = std::min<std::size_t>(head_.size() - offset_, len);
      std::memcpy(data, head_.data() + offset_, n);
      offset_ += n;
      given += n;
    }
    while (given < len && offset_ < head_.size() + body_.deflatedSize) {
      std::uint64_t at = offset_ - head_.size();
      std::uint64_t want = std::min<std::uint64_t>(len - given, body_.deflatedSize - at);
      long long n = readAt(body_.fd, data + given, want, at);
      if (n <= 0) {
        zip_error_set(&error_, ZIP_ER_READ, n < 0 ? static_cast<int>(-n) : EIO);
        return -1;
      }
      offset_ += static_cast<std::uint64_t>(n);
      given += static_cast<zip_uint64_t>(n);
    }
    return static_cast<zip_int64_t>(given);
  }

  DeflatedBody body_;
  std::vector<unsigned char> head_;
  std::uint32_t crc_ = 0;
  std::uint64_t size_ = 0;
  time_t mtime_ = 0;
  unsigned mode_ = 0;
  std::uint64_t offset_ = 0;
  zip_error_t error_{};
};

// The archive at `archive` may be replaced: it is no folder, device or pipe, nobody marked it
// read-only, and when it exists it is a zip archive.  Its entries are not read: the archive ends
// up holding the one output file whatever it held.
void checkReplaceable(const std::string& archive) {
  const FileType type = fileType(archive);
  if (type == FileType::Missing) return;
  if (type == FileType::Folder || type == FileType::Other)
    throwNotAFile("Cannot write archive", archive, type == FileType::Folder);
  if (writeForbidden(archive)) throwIoFailure("Cannot create file", archive, EACCES);
  int code = 0;
  zip_t* za = zip_open(archive.c_str(), ZIP_RDONLY, &code);
  if (!za) throwZipError(archive, code);
  zip_discard(za);
}

}  // namespace

PreparedArchive::PreparedArchive(const std::string& archive) : archive_(archive) {
  checkReplaceable(archive_);
  removeStaleTempsFor(archive_);
  // The name is taken for this archive; the engine then makes the file itself.
  int error = 0;
  UniqueFd reserved = createTempFor(archive_, tempPath_, error);
  if (!reserved) throwIoFailure("Cannot create file", archive_, error);
  reserved.reset();
  removeFile(tempPath_);
}

PreparedArchive::~PreparedArchive() {
  if (!committed_ && !tempPath_.empty()) removeFile(tempPath_);
}

void PreparedArchive::write(zip_source_t* (*makeSource)(zip_t*, void*), void* context,
                            const std::string& entry) {
  OpenArchive open{archive_};
  int code = 0;
  open.za = zip_open(tempPath_.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
  if (!open.za) throwZipError(archive_, code);
  zip_source_t* source = makeSource(open.za, context);
  if (!source) open.fail();
  zip_int64_t index = zip_file_add(open.za, entry.c_str(), source, ZIP_FL_OVERWRITE);
  if (index < 0) {
    zip_source_free(source);
    open.fail();
  }
  if (zip_set_file_compression(open.za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1) != 0)
    open.fail();
  // The engine writes the archive to a file of its own and renames it to the temporary name
  // only when it is complete.
  if (zip_close(open.za) != 0) open.fail();
  open.za = nullptr;

  // The complete archive is on the disk before it can replace the old one.
  int error = 0;
  UniqueFd fd = openForReading(tempPath_, error);
  if (!fd) throwIoFailure("Write error on file", archive_, error);
  if (FileFacts facts; fileFacts(archive_, facts)) setModeFor(fd.get(), archive_);
  if ((error = syncFile(fd.get())) != 0) throwIoFailure("Write error on file", archive_, error);
  if ((error = fd.close()) != 0) throwIoFailure("Write error on file", archive_, error);
}

void PreparedArchive::add(const std::string& file, const std::string& entryFrom) {
  struct Context {
    const std::string& file;
  } context{file};
  write([](zip_t* za,
           void* c) { return zip_source_file(za, static_cast<Context*>(c)->file.c_str(), 0, -1); },
        &context, entryName(entryFrom));
}

void PreparedArchive::add(const std::string& file, const std::string& entryFrom,
                          std::string_view hashLine, const DeflatedBody& body) {
  struct Context {
    std::unique_ptr<PredeflatedEntry> entry;
  } context{std::make_unique<PredeflatedEntry>(file, hashLine, body)};
  write(
      [](zip_t* za, void* c) {
        auto& entry = static_cast<Context*>(c)->entry;
        zip_source_t* source = zip_source_function(za, &PredeflatedEntry::callback, entry.get());
        // From here on the engine owns the entry and frees it with the source.
        if (source) (void)entry.release();
        return source;
      },
      &context, entryName(entryFrom));
}

void PreparedArchive::commit() {
  if (writeForbidden(archive_)) throwIoFailure("Cannot create file", archive_, EACCES);
  if (int error = renameOver(tempPath_, archive_))
    throwIoFailure("Cannot create file", archive_, error);
  committed_ = true;
  if (int error = syncFolder(folderOf(archive_)))
    throwIoFailure("Write error on file", archive_, error);
}

void addToArchive(const std::string& archive, const std::string& file) {
  PreparedArchive prepared(archive);
  prepared.add(file, file);
  prepared.commit();
}

void addToArchive(const std::string& archive, const std::string& file, std::string_view hashLine,
                  const DeflatedBody& body) {
  PreparedArchive prepared(archive);
  prepared.add(file, file, hashLine, body);
  prepared.commit();
}

}  // namespace bs
