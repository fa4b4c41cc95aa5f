#include "app/thai_text.h"

#include <QFile>

#include "core/cp874.h"

namespace bs::app {

QString fromThai(std::string_view bytes) { return QString::fromStdString(cp874ToUtf8(bytes)); }

std::string toThai(const QString& text) { return utf8ToCp874(text.toStdString()); }

QString fromPath(std::string_view bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string toPath(const QString& text) { return QFile::encodeName(text).toStdString(); }

}  // namespace bs::app
