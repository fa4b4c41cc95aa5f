#include "support/test_support.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace bs::test {

LineBuilder::LineBuilder(std::string_view recordType, std::size_t length) : line_(length, ' ') {
  set(1, 3, recordType);
}

LineBuilder& LineBuilder::set(std::size_t first, std::size_t last, std::string_view text) {
  if (first < 1 || last < first) throw std::invalid_argument("bad columns");
  if (last > line_.size()) line_.resize(last, ' ');
  std::size_t width = last - first + 1;
  for (std::size_t i = 0; i < width; ++i) line_[first - 1 + i] = i < text.size() ? text[i] : ' ';
  return *this;
}

LineBuilder& LineBuilder::setRight(std::size_t first, std::size_t last, std::string_view text,
                                   char fill) {
  std::size_t width = last - first + 1;
  std::string padded = text.size() >= width
                           ? std::string(text.substr(text.size() - width))
                           : std::string(width - text.size(), fill) + std::string(text);
  return set(first, last, padded);
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

TempDir::TempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("batchseal-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::filesystem::path makeProgramFolder(const TempDir& dir) {
  namespace fs = std::filesystem;
  fs::path program = dir.path() / "program";
  fs::create_directories(program);
  for (const char* sub : {"Data", "Report"}) {
    fs::path from = fs::path(BATCHSEAL_PROGRAM_DIR) / sub;
    fs::create_directories(program / sub);
    if (fs::exists(from))
      fs::copy(from, program / sub,
               fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  return program;
}

}  // namespace bs::test
