#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace bs::cli {

// Writes a JSON string literal of UTF-8 text to `out`, escaping quotes, backslashes and control
// characters.
void writeJsonString(std::FILE* out, std::string_view utf8);
// The same literal appended to `out`, for output built a row at a time.
void appendJsonString(std::string& out, std::string_view utf8);

}  // namespace bs::cli
