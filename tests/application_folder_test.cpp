// Where the program keeps its files, and the search page among them.
#include "application_folder.h"
#include "qt_files.h"
#include "safe_file.h"
#include "search_page.h"

#include <QDir>
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
        return testing::readAll(QDir(perUser).filePath(name));
    }
    ApplicationFolder resolve(const QString& programFolder, const QString& installedBin) const {
        return ApplicationFolder::resolve(programFolder, perUser, installed, installedBin);
    }

    QTemporaryDir root;
    const QString program = root.filePath("program");
    const QString perUser = root.filePath("home/data/tolvane");
    const QString installed = root.filePath("share/tolvane");
    const QString installedProgram = root.filePath("bin");
    static constexpr const char* kReadOnly = "/proc/self";
};

enum class Program { Portable, ReadOnly, Installed };

class ApplicationFolderTest : public QObject {
    Q_OBJECT

private slots:
    // A portable copy keeps its files beside the program: no per-user folder, no probe left
    // behind (its name starts with a dot), nothing copied in. An installed program cannot write
    // beside itself, and root, who can write into the installed program's folder, must not, for
    // it belongs to the package manager: either way the per-user folder is made, and the search
    // page's pictures are put beside the page there.
    void applicationFolder_data() {
        QTest::addColumn<Program>("program");
        QTest::newRow("portable copy") << Program::Portable;
        QTest::newRow("read-only program folder") << Program::ReadOnly;
        QTest::newRow("installed program, writable") << Program::Installed;
    }
    void applicationFolder() {
        QFETCH(Program, program);
        const Folders f;
        const bool perUser = program != Program::Portable;
        // The paths as they arrive: with a trailing separator, or not in their plainest form.
        const ApplicationFolder folder = program == Program::ReadOnly
                                             ? f.resolve(Folders::kReadOnly, f.installedProgram)
                                         : perUser ? f.resolve(f.program, f.program + "/.")
                                                   : f.resolve(f.program + "/", f.installedProgram);
        QCOMPARE(folder.path, perUser ? f.perUser : f.program);
        QCOMPARE(QFileInfo::exists(f.perUser), perUser);
        QVERIFY(QDir(f.program).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        for (const QString name : searchPagePictureNames()) {
            QCOMPARE(f.perUserPicture(name), perUser ? Folders::installedPicture(name) : "");
        }
    }

    void picturesTheUserAlreadyHasAreKept() {
        const Folders f;
        QVERIFY(QDir().mkpath(f.perUser));
        QVERIFY(!writeFileAtomically(QDir(f.perUser).filePath("go.gif"), "the user's own"));
        (void)f.resolve(Folders::kReadOnly, f.installedProgram);
        QCOMPARE(f.perUserPicture("go.gif"), QByteArray("the user's own"));
        QCOMPARE(f.perUserPicture("searchfor.gif"), Folders::installedPicture("searchfor.gif"));
    }

    // The search page the folder holds, as written for the documented defaults of the build's
    // cache variables: the expected file is written for them, byte for byte.
    void searchPageIsTheExpectedFile() {
        const SearchPageSites defaults{"http://banners.example.com", "search.example.com",
                                       "10000001", "1000001", "Example Search"};
        QCOMPARE(QByteArray::fromStdString(searchPageText(defaults)),
                 testing::readAll(TOLVANE_TEST_DATA_DIR "/AboutHtm.htm"));
    }

    // A help file beside the program is that copy's own; otherwise the installed one is used.
    void helpFileBesideTheProgramComesFirst() {
        const Folders f;
        QCOMPARE(f.resolve(f.program, f.installedProgram).helpFile,
                 QDir(f.installed).filePath("tolvane.chm"));
        const QString ownHelp = QDir(f.program).filePath("tolvane.chm");
        QVERIFY(!writeFileAtomically(ownHelp, "help"));
        QCOMPARE(f.resolve(f.program, f.installedProgram).helpFile, ownHelp);
    }
};

}  // namespace tolvane

QTEST_GUILESS_MAIN(tolvane::ApplicationFolderTest)
#include "application_folder_test.moc"
