#include "preference_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "safe_file.h"

namespace tolvane {

QString prefFilePath(const QString& applicationFolder) {
    return QDir(applicationFolder).filePath(QString::fromLatin1(kPrefFileName));
}

std::optional<QByteArray> readPrefFirstLine(const QString& prefFilePath) {
    // Opening a FIFO or a device could block or never end; only a plain file can hold the line.
    if (!QFileInfo(prefFilePath).isFile()) {
        return std::nullopt;
    }
    QFile file(prefFilePath);
    // Unbuffered, so that the read below asks the system for these bytes and no more.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return std::nullopt;
    }
    QByteArray head(kPrefReadLimit, '\0');
    qint64 total = 0;
    while (total < kPrefReadLimit) {
        const qint64 got = file.read(head.data() + total, kPrefReadLimit - total);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    head.truncate(total);
    const qsizetype carriageReturn = head.indexOf('\r');
    return carriageReturn < 0 ? head : head.left(carriageReturn);
}

PanelMode panelModeForLine(const QByteArray& line) {
    if (line == kStartTempLine) {
        return PanelMode::Conversion;
    }
    if (line == kStartSearchLine) {
        return PanelMode::Search;
    }
    return PanelMode::Conversion;
}

PanelMode readStartPanel(const QString& prefFilePath) {
    const std::optional<QByteArray> line = readPrefFirstLine(prefFilePath);
    return line ? panelModeForLine(*line) : PanelMode::Conversion;
}

QByteArray prefFileContent(PanelMode mode) {
    QByteArray content(mode == PanelMode::Search ? kStartSearchLine : kStartTempLine);
    content.append("\r\n");
    return content;
}

std::optional<QString> writeStartPanel(const QString& prefFilePath, PanelMode mode) {
    return writeFileAtomically(prefFilePath, prefFileContent(mode));
}

}  // namespace tolvane
