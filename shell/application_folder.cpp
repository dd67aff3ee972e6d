#include "application_folder.h"

#include "safe_file.h"
#include "search_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace tolvane {

namespace {

constexpr auto kHelpFileName = "tolvane.chm";

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QDir(folder).absolutePath());
}

// Copies a picture into folder unless one of that name is there. A missing source is not an
// error here: the page then shows its alternative, and the program goes on.
void provideCopy(const QString& name, const QString& folder, const QStringList& sources) {
    const QString target = QDir(folder).filePath(name);
    if (QFileInfo::exists(target)) {
        return;
    }
    for (const QString& sourceFolder : sources) {
        QFile source(QDir(sourceFolder).filePath(name));
        if (source.open(QIODevice::ReadOnly)) {
            // A failed copy leaves nothing behind; the page then lacks that picture.
            (void)writeFileAtomically(target, source.readAll());
            return;
        }
    }
}

}  // namespace

bool canCreateFilesIn(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tolvane-probe-XXXXXX")));
    return probe.open();  // removed again when probe goes
}

QString ApplicationFolder::filePath(const QString& name) const {
    return QDir(path).filePath(name);
}

ApplicationFolder ApplicationFolder::resolve(const QString& programFolder,
                                             const QString& perUserFolder,
                                             const QString& installedDataFolder,
                                             const QString& installedProgramFolder,
                                             const WritableProbe& isWritable) {
    const QString program = cleanFolder(programFolder);
    const QString installed = cleanFolder(installedDataFolder);

    ApplicationFolder folder;
    const QString helpBesideProgram = QDir(program).filePath(QString::fromLatin1(kHelpFileName));
    folder.helpFile = QFileInfo::exists(helpBesideProgram)
                          ? helpBesideProgram
                          : QDir(installed).filePath(QString::fromLatin1(kHelpFileName));

    if (program != cleanFolder(installedProgramFolder) && isWritable(program)) {
        folder.path = program;
        return folder;
    }

    folder.path = cleanFolder(perUserFolder);
    // When the folder cannot be made, the writes into it fail later and say so.
    if (QDir().mkpath(folder.path)) {
        for (const char* name : searchPagePictureNames()) {
            provideCopy(QString::fromLatin1(name), folder.path, {program, installed});
        }
    }
    return folder;
}

ApplicationFolder ApplicationFolder::resolveForThisProgram() {
    return resolve(QCoreApplication::applicationDirPath(),
                   QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation),
                   QStringLiteral(TOLVANE_INSTALLED_DATA_DIR),
                   QStringLiteral(TOLVANE_INSTALLED_PROGRAM_DIR));
}

}  // namespace tolvane
