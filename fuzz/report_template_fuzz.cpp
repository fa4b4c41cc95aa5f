// The template loader of the report engine over arbitrary bytes: it gives a template or the one
// failure type naming the file, never another exception or a crash; reading the same bytes from
// a file gives the same template.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/failure.h"
#include "reports/engine/report_template.h"

namespace {
const std::string& scratchPath() {
  static const std::string path = [] {
    std::atexit([] { std::remove(scratchPath().c_str()); });
    return "/tmp/batchseal-fuzz-template-" + std::to_string(::getpid());
  }();
  return path;
}

std::string outline(const bs::ReportTemplate& t) {
  std::string s =
      std::to_string(t.pageWidthMm) + "x" + std::to_string(t.pageHeightMm) + t.fontFamily;
  for (const auto& band : t.bands) {
    s += band.present ? "|" + std::to_string(band.height) : "|-";
    for (const auto& item : band.items) s += ":" + item.content;
  }
  return s;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string fromText, fromFile;
  try {
    fromText = outline(bs::parseReportTemplate(text, "Fuzz.frf"));
  } catch (const bs::Failure&) {
    fromText = "failure";
  }
  std::FILE* f = std::fopen(scratchPath().c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  try {
    const auto loaded = bs::loadReportTemplate(scratchPath());
    if (!loaded) std::abort();  // the file exists
    fromFile = outline(*loaded);
  } catch (const bs::Failure&) {
    fromFile = "failure";
  }
  if (fromText != fromFile) std::abort();
  return 0;
}
