// pref.ifm as the program reads it at start-up: whatever bytes the file holds, the reader takes
// the bytes before the first CR within the read limit as the first line, and only the line
// "start search" chooses the search panel.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "preference_file.h"

namespace {

void check(bool ok, const char* what, const QByteArray& content) {
    if (!ok) {
        std::fprintf(stderr, "%s, for a file of %lld bytes: \"%s\"\n", what,
                     static_cast<long long>(content.size()), content.toPercentEncoding().data());
        std::abort();
    }
}

// The first line as the file format defines it, from the whole content.
QByteArray expectedFirstLine(const QByteArray& content) {
    QByteArray head = content.left(tolvane::kPrefReadLimit);
    const qsizetype carriageReturn = head.indexOf('\r');
    if (carriageReturn >= 0) {
        head.truncate(carriageReturn);
    }
    return head;
}

// A folder in memory where there is one: on a disk, rewriting the same file a million times
// waits for the disk at each close, and the fuzzer would do little else.
QString scratchFolderTemplate() {
    const QString memory = QStringLiteral("/dev/shm");
    const QString base =
        QFileInfo(memory).isDir() && QFileInfo(memory).isWritable() ? memory : QDir::tempPath();
    return QDir(base).filePath(QStringLiteral("pref_file_fuzz-XXXXXX"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QTemporaryDir folder(scratchFolderTemplate());
    static const QString path = tolvane::prefFilePath(folder.path());

    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(content) != content.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::abort();
        }
    }

    const std::optional<QByteArray> line = tolvane::readPrefFirstLine(path);
    check(line.has_value(), "a readable file gave no first line", content);
    check(*line == expectedFirstLine(content), "the wrong first line", content);

    const bool search = content.startsWith("start search\r") || content == "start search";
    const tolvane::PanelMode expected =
        search ? tolvane::PanelMode::Search : tolvane::PanelMode::Conversion;
    check(tolvane::readStartPanel(path) == expected, "the wrong panel", content);
    return 0;
}
