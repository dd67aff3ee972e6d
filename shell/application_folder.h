#pragma once

#include <QString>

#include <functional>

namespace tolvane {

// Whether a file can really be created in folder. Permission bits alone do not tell (root
// ignores them, and neither read-only mounts nor ACLs show in them), so this creates a
// temporary file there and removes it again.
bool canCreateFilesIn(const QString& folder);

// Where the program's own files live: the preference file, the search page with its pictures,
// the throw-away page of the browser lookup. Resolved once at start-up; every such path is built
// from it with filePath().
struct ApplicationFolder {
    using WritableProbe = std::function<bool(const QString& folder)>;

    QString path;      // the folder, without a trailing separator
    QString helpFile;  // full path of tolvane.chm

    // The full path of the file name in the folder.
    QString filePath(const QString& name) const;

    // The program folder when files can be created in it (a portable copy); otherwise, and
    // always for the installed program (whose folder root could write to, but which belongs to
    // the package manager), the per-user folder, created when missing, with the search page's
    // pictures copied into it when absent (from the program folder if they lie there, else from
    // the installed data folder; pictures already there are kept). The help file is the one
    // beside the program if there is one, else the installed one. isWritable answers for the
    // program folder.
    static ApplicationFolder resolve(const QString& programFolder, const QString& perUserFolder,
                                     const QString& installedDataFolder,
                                     const QString& installedProgramFolder,
                                     const WritableProbe& isWritable = canCreateFilesIn);

    // resolve() for this program: the folder of the running executable, the per-user data
    // folder (QStandardPaths::AppLocalDataLocation, so the application and organisation names
    // must be set before), and the data and program folders of the installation.
    static ApplicationFolder resolveForThisProgram();
};

}  // namespace tolvane
