#include "reports/engine/thai_text.h"

#include "core/cp874.h"

namespace bs {

QString decodeCp874(std::string_view bytes) {
  return QString::fromStdString(cp874ToUtf8(bytes));
}

}  // namespace bs
