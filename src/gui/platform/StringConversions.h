#pragma once

#include <QString>
#include <string>

// The one place text crosses between Qt and the core. The core's texts are UTF-8; file names
// go to the core in the file system's own encoding (QFile::encodeName) and come back through
// its decoding, so a name the system holds in any bytes survives the round trip.
QString FromCore(const std::string& utf8);
std::string ToCore(const QString& text);
std::string ToNativePath(const QString& path);
QString FromNativePath(const std::string& path);
