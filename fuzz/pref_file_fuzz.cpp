// pref.ifm as the program reads it at start-up: whatever bytes the file holds, the reader takes
// the bytes before the first CR within the read limit as the first line, and only the line
// "start search" chooses the search panel.
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "preference_file.h"
#include "qt_files.h"

namespace {

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
    if (!tolvane::testing::writeAll(path, content)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }

    // The first line and the panel as the file format defines them, from the whole content.
    const QByteArray head = content.left(tolvane::kPrefReadLimit);
    const QByteArray line = head.left(head.contains('\r') ? head.indexOf('\r') : head.size());
    const bool search = content.startsWith("start search\r") || content == "start search";
    if (tolvane::readPrefFirstLine(path) != line ||
        tolvane::readStartPanel(path) !=
            (search ? tolvane::PanelMode::Search : tolvane::PanelMode::Conversion)) {
        std::fprintf(stderr, "the wrong first line or panel for a file of %lld bytes: \"%s\"\n",
                     static_cast<long long>(content.size()), content.toPercentEncoding().data());
        std::abort();
    }
    return 0;
}
