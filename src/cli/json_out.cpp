#include "cli/json_out.h"

namespace bs::cli {

void appendJsonString(std::string& out, std::string_view utf8) {
  out.push_back('"');
  std::size_t run = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0x20 && c != '"' && c != '\\' && c != 0x7F) continue;
    out.append(utf8.substr(run, i - run));
    run = i + 1;
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
  out.append(utf8.substr(run));
  out.push_back('"');
}

void writeJsonString(std::FILE* out, std::string_view utf8) {
  std::string text;
  appendJsonString(text, utf8);
  std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace bs::cli
