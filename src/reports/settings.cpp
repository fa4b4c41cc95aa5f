#include "reports/settings.h"

#include <cstdint>
#include <optional>

#include "core/text_lines.h"

namespace bs {

namespace {

constexpr std::uint64_t kSettingsFileLimit = std::uint64_t{16} << 20;

unsigned char upper(unsigned char c) {
  return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(static_cast<unsigned char>(a[i])) != upper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::filesystem::path settingsFile(const ProgramPaths& paths) {
  return paths.dataFolder() / "Config.ini";
}

std::string readSettingFromText(std::string_view text, std::string_view section,
                                std::string_view key) {
  // A file saved by an editor that writes a UTF-8 byte order mark still opens with its first
  // section.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bool inSection = false;
  while (!text.empty()) {
    std::size_t end = text.find_first_of("\r\n");
    std::string_view line = trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      if (close != std::string_view::npos) {
        inSection = equalsIgnoringCase(trim(line.substr(1, close - 1)), section);
        continue;
      }
    }
    if (!inSection) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (!equalsIgnoringCase(trim(line.substr(0, eq)), key)) continue;
    return std::string(unquote(trim(line.substr(eq + 1))));
  }
  return {};
}

std::string readSetting(const std::filesystem::path& iniFile, std::string_view section,
                        std::string_view key) {
  // A settings file holds a few lines; one of many megabytes is no settings file.
  std::optional<std::string> text = readSmallFile(iniFile.string(), kSettingsFileLimit);
  if (!text) return {};
  return readSettingFromText(*text, section, key);
}

bool beneChargeFlagFrom(std::string_view value) {
  return equalsIgnoringCase(value, "TRUE");
}

void loadBeneChargeSetting(Session& session) {
  session.state.beneChargeFlag = beneChargeFlagFrom(
      readSetting(settingsFile(session.paths), "BeneChargeProfile", "BeneChargeFlag"));
}

RangeFees loadRangeFees(const ProgramPaths& paths) {
  std::filesystem::path file = settingsFile(paths);
  RangeFees fees;
  fees.rangeFee1 = readSetting(file, "ThreeTierRate", "RangeFee1");
  fees.rangeFee2 = readSetting(file, "ThreeTierRate", "RangeFee2");
  fees.rangeFee3 = readSetting(file, "ThreeTierRate", "RangeFee3");
  return fees;
}

}  // namespace bs
