#include "cli/json_out.h"

namespace bs::cli {

void writeJsonString(std::FILE* out, std::string_view utf8) {
  std::fputc('"', out);
  std::size_t run = 0;
  auto flush = [&](std::size_t end) {
    if (end > run) std::fwrite(utf8.data() + run, 1, end - run, out);
  };
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    auto c = static_cast<unsigned char>(utf8[i]);
    const char* esc = nullptr;
    char buf[8];
    switch (c) {
      case '"':
        esc = "\\\"";
        break;
      case '\\':
        esc = "\\\\";
        break;
      case '\n':
        esc = "\\n";
        break;
      case '\r':
        esc = "\\r";
        break;
      case '\t':
        esc = "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          esc = buf;
        }
    }
    if (esc) {
      flush(i);
      std::fputs(esc, out);
      run = i + 1;
    }
  }
  flush(utf8.size());
  std::fputc('"', out);
}

}  // namespace bs::cli
