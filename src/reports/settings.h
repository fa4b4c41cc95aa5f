#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/session.h"

namespace bs {

// The settings file Data/Config.ini.  The system only reads it.
std::filesystem::path settingsFile(const ProgramPaths& paths);

// One value of an INI file: section and key names are matched without regard to case; the value
// is the text after the first "=", blanks at both ends removed and one pair of enclosing single
// or double quotes taken off.  A missing or unreadable file, section or key gives the empty text.
// Nothing else is special: a ':' is an ordinary character and a ';' or '#' after the "=" belongs
// to the value.
std::string readSetting(const std::filesystem::path& iniFile, std::string_view section,
                        std::string_view key);

// The same rules applied to the text of a settings file held in memory.
std::string readSettingFromText(std::string_view text, std::string_view section,
                                std::string_view key);

// "TRUE" in any letter case switches the flag on; any other text, the empty one included, off.
bool beneChargeFlagFrom(std::string_view value);

// At start: beneChargeFlag from BeneChargeProfile/BeneChargeFlag.
void loadBeneChargeSetting(Session& session);

// The three fees of the tier-rate fee report, as texts exactly as read.
struct RangeFees {
  std::string rangeFee1;
  std::string rangeFee2;
  std::string rangeFee3;
};

// RangeFee1, RangeFee2 and RangeFee3 of section ThreeTierRate, read afresh on every call.
RangeFees loadRangeFees(const ProgramPaths& paths);

}  // namespace bs
