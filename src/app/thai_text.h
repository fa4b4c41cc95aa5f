#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace bs::app {

// Texts of the payment file, the grid and the messages are bytes in the Thai code page
// Windows-874; these are the only conversions between them and the window's Unicode.
// glibc's table is used: Qt's codec of the same name follows an IBM table with other results.
QString fromThai(std::string_view bytes);
// Characters outside the code page become '?'.
std::string toThai(const QString& text);

// Paths in the file boxes are names of this file system, in its own encoding.
QString fromPath(std::string_view bytes);
std::string toPath(const QString& text);

}  // namespace bs::app
