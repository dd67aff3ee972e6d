#include "safe_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <filesystem>

namespace tolvane {

namespace {

QString failure(const QString& path, const QString& reason) {
    return QCoreApplication::translate("tolvane", "The file %1 could not be written: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

bool isSymLink(const QString& path) {
    return QFileInfo(path).isSymLink();
}

// A temporary file beside the target takes the target's name. The rename replaces whatever
// lies at path, a symbolic link too, without following it.
std::optional<QString> writeWithoutSync(const QString& path, const QByteArray& bytes) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open()) {
        return failure(path, file.errorString());
    }
    // A full disk may show only when the buffer is flushed.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        return failure(path, file.errorString());
    }
    file.close();
    std::error_code error;
    std::filesystem::rename(file.fileName().toStdU16String(), path.toStdU16String(), error);
    if (error) {
        return failure(path, QString::fromLocal8Bit(error.message()));
    }
    file.setAutoRemove(false);
    return std::nullopt;
}

}  // namespace

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes,
                                           Durability durability) {
    if (durability == Durability::Rebuilt) {
        return writeWithoutSync(path, bytes);
    }

    // QSaveFile follows a symbolic link and replaces the file it points to, so a link planted at
    // path would have us overwrite whatever it names. The link itself goes first.
    if (isSymLink(path) && !QFile::remove(path)) {
        return failure(path, QCoreApplication::translate("tolvane",
                                                         "a symbolic link of that name is in the "
                                                         "way and cannot be removed"));
    }

    QSaveFile file(path);
    // Unbuffered: QSaveFile (Qt 6.4) notices only failures of write() itself, not those of the
    // flush that commit() does, and would then rename a truncated file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failure(path, file.errorString());
    }
    // A link planted between the removal above and open() has been followed by now: refuse.
    // From here on the final rename replaces whatever lies at path without following it.
    if (isSymLink(path)) {
        file.cancelWriting();
        return failure(path, QCoreApplication::translate(
                                 "tolvane", "a symbolic link of that name appeared while writing"));
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(path, reason);
    }
    if (!file.commit()) {
        return failure(path, file.errorString());
    }
    return std::nullopt;
}

}  // namespace tolvane
