#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace bs::test {

// A payment line built from named fields: starts as `length` blanks, fields written by column.
class LineBuilder {
 public:
  LineBuilder(std::string_view recordType, std::size_t length);
  // Writes `text` at columns first..last (1-based, inclusive), padded with blanks on the right
  // or cut to the width.
  LineBuilder& set(std::size_t first, std::size_t last, std::string_view text);
  // Right-aligns `text` in the field, padded on the left with `fill`.
  LineBuilder& setRight(std::size_t first, std::size_t last, std::string_view text,
                        char fill = '0');
  const std::string& str() const { return line_; }
  operator std::string() const { return line_; }

 private:
  std::string line_;
};

// Lines joined with CR LF after every line, the last one included.
std::string joinLines(const std::vector<std::string>& lines);

// A fresh folder below the system's temporary folder, removed when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, std::string_view bytes);
std::string readFile(const std::filesystem::path& path);

// A program folder for tests: a copy of the build's Data/ and Report/ in a fresh folder.
std::filesystem::path makeProgramFolder(const TempDir& dir);

}  // namespace bs::test
