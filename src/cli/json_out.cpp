#include "cli/json_out.h"

namespace bs::cli {

namespace {

// The bytes a JSON string literal cannot hold as they are.
struct EscapeTable {
  bool escaped[256] = {};
  constexpr EscapeTable() {
    for (int c = 0; c < 0x20; ++c) escaped[c] = true;
    escaped[static_cast<unsigned char>('"')] = true;
    escaped[static_cast<unsigned char>('\\')] = true;
    escaped[0x7F] = true;
  }
};
constexpr EscapeTable kEscape;

}  // namespace

void appendJsonString(std::string& out, std::string_view utf8) {
  out.push_back('"');
  const char* p = utf8.data();
  const char* const end = p + utf8.size();
  while (p < end) {
    const char* run = p;
    while (p < end && !kEscape.escaped[static_cast<unsigned char>(*p)]) ++p;
    out.append(run, static_cast<std::size_t>(p - run));
    if (p == end) break;
    const auto c = static_cast<unsigned char>(*p++);
    switch (c) {
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '\t':
        out.append("\\t");
        break;
      default: {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out.append(buf);
      }
    }
  }
  out.push_back('"');
}

void writeJsonString(std::FILE* out, std::string_view utf8) {
  std::string text;
  appendJsonString(text, utf8);
  std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace bs::cli
