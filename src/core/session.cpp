#include "core/session.h"

#include <ctime>

namespace bs {

Clock Clock::system() {
  return Clock{[] {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    return std::string(text);
  }};
}

Clock Clock::fixed(std::string yyyymmdd) {
  return Clock{[day = std::move(yyyymmdd)] { return day; }};
}

Session::Session(Ui& ui_, ProgramPaths paths_, Clock clock_)
    : ui(ui_),
      paths(std::move(paths_)),
      clock(std::move(clock_)),
      creditContext(std::make_unique<MemoryCreditContext>()) {}

Session::~Session() = default;

}  // namespace bs
