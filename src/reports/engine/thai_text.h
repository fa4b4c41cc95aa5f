#pragma once

#include <QString>
#include <string_view>

#include "core/cp874.h"

namespace bs {

// Windows-874 bytes (the Thai code page of the payment file and the tables) as a QString, through
// the system's own Windows-874 table rather than Qt's codec of that name.
QString decodeCp874(std::string_view bytes);

}  // namespace bs
