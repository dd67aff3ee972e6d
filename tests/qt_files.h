#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tolvane::testing {

// Empty when the file cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether the file now holds exactly `bytes`, as far as the writes tell.
inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace tolvane::testing
