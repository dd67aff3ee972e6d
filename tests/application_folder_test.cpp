#include "application_folder.h"
#include "safe_file.h"
#include "search_page.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace tolvane {

// Under one temporary root: the program's folder, the per-user one (not yet there) and the
// installed data folder, whose pictures say where they came from. The real probe decides whether
// the program folder takes files: the temporary one does, /proc/self does not, for root neither.
struct Folders {
    Folders() {
        QDir().mkpath(program);
        QDir().mkpath(installed);
        for (const QString name : searchPagePictureNames()) {
            (void)writeFileAtomically(QDir(installed).filePath(name), installedPicture(name));
        }
    }
    static QByteArray installedPicture(const QString& name) {
        return "installed " + name.toLatin1();
    }
    QByteArray perUserPicture(const QString& name) const {
        QFile picture(QDir(perUser).filePath(name));
        return picture.open(QIODevice::ReadOnly) ? picture.readAll() : QByteArray();
    }

    QTemporaryDir root;
    const QString program = root.filePath("program");
    const QString perUser = root.filePath("home/data/tolvane");
    const QString installed = root.filePath("share/tolvane");
    const QString installedProgram = root.filePath("bin");
    static constexpr const char* kReadOnly = "/proc/self";
};

class ApplicationFolderTest : public QObject {
    Q_OBJECT

private slots:
    // A portable copy keeps its files beside the program: no per-user folder, no probe left
    // behind (its name starts with a dot), nothing copied in.
    void writableProgramFolderIsTheApplicationFolder() {
        const Folders f;
        const ApplicationFolder folder =
            ApplicationFolder::resolve(f.program + "/", f.perUser, f.installed, f.installedProgram);
        QCOMPARE(folder.path, f.program);  // without the trailing separator
        QVERIFY(!QFileInfo::exists(f.perUser));
        QVERIFY(QDir(f.program).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // An installed program cannot write beside itself: the per-user folder is made, and the
    // search page's pictures are put beside the page there.
    void readOnlyProgramFolderGivesThePerUserFolderWithThePictures() {
        const Folders f;
        const ApplicationFolder folder = ApplicationFolder::resolve(
            Folders::kReadOnly, f.perUser, f.installed, f.installedProgram);
        QCOMPARE(folder.path, f.perUser);
        for (const QString name : searchPagePictureNames()) {
            QCOMPARE(f.perUserPicture(name), Folders::installedPicture(name));
        }
    }

    // Root can write into the installed program's folder, which belongs to the package manager
    // all the same: the installed program keeps its files per user like everybody else.
    void installedProgramFolderIsNeverTheApplicationFolder() {
        const Folders f;
        const ApplicationFolder folder =
            ApplicationFolder::resolve(f.program, f.perUser, f.installed, f.program + "/.");
        QCOMPARE(folder.path, f.perUser);
        QVERIFY(QDir(f.program).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QCOMPARE(f.perUserPicture("go.gif"), Folders::installedPicture("go.gif"));
    }

    void picturesTheUserAlreadyHasAreKept() {
        const Folders f;
        QVERIFY(QDir().mkpath(f.perUser));
        QVERIFY(!writeFileAtomically(QDir(f.perUser).filePath("go.gif"), "the user's own"));
        (void)ApplicationFolder::resolve(Folders::kReadOnly, f.perUser, f.installed,
                                         f.installedProgram);
        QCOMPARE(f.perUserPicture("go.gif"), QByteArray("the user's own"));
        QCOMPARE(f.perUserPicture("searchfor.gif"), Folders::installedPicture("searchfor.gif"));
    }

    // A help file beside the program is that copy's own; otherwise the installed one is used.
    void helpFileBesideTheProgramComesFirst() {
        const Folders f;
        const QString installedHelp = QDir(f.installed).filePath("tolvane.chm");
        QCOMPARE(ApplicationFolder::resolve(f.program, f.perUser, f.installed, f.installedProgram)
                     .helpFile,
                 installedHelp);
        const QString ownHelp = QDir(f.program).filePath("tolvane.chm");
        QVERIFY(!writeFileAtomically(ownHelp, "help"));
        QCOMPARE(ApplicationFolder::resolve(f.program, f.perUser, f.installed, f.installedProgram)
                     .helpFile,
                 ownHelp);
    }
};

}  // namespace tolvane

QTEST_GUILESS_MAIN(tolvane::ApplicationFolderTest)
#include "application_folder_test.moc"
