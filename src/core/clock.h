#pragma once

#include <functional>
#include <string>

namespace bs {

// Today's local date as eight digits, year, month, day ("20261209").  Injectable in tests.
struct Clock {
  std::function<std::string()> today;
  static Clock system();
  static Clock fixed(std::string yyyymmdd);
};

}  // namespace bs
