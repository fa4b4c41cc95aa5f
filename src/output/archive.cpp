#include "output/archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/failure.h"
#include "output/raw_deflate.h"

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
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0) {
      mtime_ = st.st_mtime;
      mode_ = st.st_mode;
    } else {
      mtime_ = ::time(nullptr);
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
      ssize_t n = ::pread(body_.fd, data + given, want, static_cast<off_t>(at));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        zip_error_set(&error_, ZIP_ER_READ, n < 0 ? errno : EIO);
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
  mode_t mode_ = 0;
  std::uint64_t offset_ = 0;
  zip_error_t error_{};
};

// Opens or creates the archive and deletes every entry it holds.
void openEmptied(OpenArchive& open, const std::string& archive) {
  // An existing archive that may not be written is opened for reading only, so that the engine
  // refuses to change it.
  int flags = ZIP_CREATE;
  if (::access(archive.c_str(), F_OK) == 0 && ::access(archive.c_str(), W_OK) != 0)
    flags = ZIP_RDONLY;
  int code = 0;
  open.za = zip_open(archive.c_str(), flags, &code);
  if (!open.za) throwZipError(code);

  zip_int64_t count = zip_get_num_entries(open.za, 0);
  for (zip_int64_t i = 0; i < count; ++i)
    if (zip_delete(open.za, static_cast<zip_uint64_t>(i)) != 0) open.fail();
}

// Adds `source` as the one entry, deflated at the fastest level, and writes the archive.
void addAndClose(OpenArchive& open, const std::string& archive, const std::string& file,
                 zip_source_t* source) {
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

}  // namespace

void addToArchive(const std::string& archive, const std::string& file) {
  OpenArchive open;
  openEmptied(open, archive);
  addAndClose(open, archive, file, zip_source_file(open.za, file.c_str(), 0, -1));
}

void addToArchive(const std::string& archive, const std::string& file, std::string_view hashLine,
                  const DeflatedBody& body) {
  OpenArchive open;
  openEmptied(open, archive);
  auto entry = std::make_unique<PredeflatedEntry>(file, hashLine, body);
  zip_source_t* source = zip_source_function(open.za, &PredeflatedEntry::callback, entry.get());
  // From here on the engine owns the entry and frees it with the source.
  if (source) (void)entry.release();
  addAndClose(open, archive, file, source);
}

}  // namespace bs
