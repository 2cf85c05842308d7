#pragma once

#include <QFile>
#include <QString>

#include <string>

// A file name as the C++ standard library and the core expect it: in the local 8-bit encoding
// of file names, so names with non-ASCII characters reach the same file Qt would open.
inline std::string LocalPath(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}

// The reverse of LocalPath, for names that come back from the core (error messages).
inline QString FromLocalPath(const std::string& fileName) {
    return QFile::decodeName(QByteArray::fromStdString(fileName));
}
