#pragma once

#include <string>
#include <string_view>

namespace bs {

// The payment file and every text the system keeps are bytes in the Thai code page Windows-874.
// These convert at the edges, where text meets a person or a JSON consumer.  They use glibc's
// iconv table "CP874" (Windows-874): Qt's codec of the same name maps to an IBM table whose
// results differ.  A byte the code page leaves undefined becomes U+FFFD; a character that has no
// byte becomes '?'.
std::string cp874ToUtf8(std::string_view bytes);
std::string utf8ToCp874(std::string_view text);

}  // namespace bs
