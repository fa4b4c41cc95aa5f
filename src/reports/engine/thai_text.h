#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace bs {

// Windows-874 bytes (the Thai code page of the payment file and the tables) as Unicode, through
// glibc's iconv table "CP874".  Qt's codec of that name maps to an IBM table with other results,
// so it is not used.  A byte the table does not map becomes U+FFFD.
QString decodeCp874(std::string_view bytes);
std::string cp874ToUtf8(std::string_view bytes);

}  // namespace bs
