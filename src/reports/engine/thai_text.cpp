#include "reports/engine/thai_text.h"

namespace bs {

QString decodeCp874(std::string_view bytes) {
  std::string utf8 = cp874ToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace bs
