#include "gui/platform/StringConversions.h"

#include <QFile>

QString FromCore(const std::string& utf8) { return QString::fromStdString(utf8); }

std::string ToCore(const QString& text) { return text.toStdString(); }

std::string ToNativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FromNativePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
