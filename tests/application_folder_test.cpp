#include "application_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <memory>

namespace tolvane {

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writePlain(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

}  // namespace

// Three folders under one temporary root: the program's, the per-user one (not yet there) and
// the installed data folder. Each picture's bytes say which folder it came from.
class ApplicationFolderTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void probeTellsWhetherFilesCanBeCreated_data();
    void probeTellsWhetherFilesCanBeCreated();
    void writableProgramFolderIsUsedAsItIs();
    void readOnlyProgramFolderMovesToThePerUserFolder();
    void picturesComeFromTheProgramFolderFirst();
    void picturesAlreadyThereAreKept();
    void missingPicturesAreNoObstacle();
    void helpFileIsTheOneBesideTheProgramIfThereIsOne_data();
    void helpFileIsTheOneBesideTheProgramIfThereIsOne();
    void filePathIsInTheFolder();

private:
    QString program() const { return m_root->filePath("program"); }
    QString perUser() const { return m_root->filePath("home/data/tolvane"); }
    QString installed() const { return m_root->filePath("share/tolvane"); }
    void putPictures(const QString& folder, const QByteArray& origin);
    ApplicationFolder resolveWithProgramWritable(bool writable) const;

    std::unique_ptr<QTemporaryDir> m_root;
};

void ApplicationFolderTest::init() {
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(program()));
    QVERIFY(QDir().mkpath(installed()));
}

void ApplicationFolderTest::putPictures(const QString& folder, const QByteArray& origin) {
    for (const QString& name : searchPagePictureNames()) {
        QVERIFY(writePlain(QDir(folder).filePath(name), origin + ' ' + name.toLatin1()));
    }
}

ApplicationFolder ApplicationFolderTest::resolveWithProgramWritable(bool writable) const {
    const QString programFolder = program();
    return ApplicationFolder::resolve(programFolder, perUser(), installed(),
                                      [programFolder, writable](const QString& folder) {
                                          // Only the program folder is meant to be asked about.
                                          return folder == programFolder && writable;
                                      });
}

void ApplicationFolderTest::probeTellsWhetherFilesCanBeCreated_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("writable");
    QTest::newRow("temporary folder") << "program" << true;
    // Root ignores permission bits, but nobody creates files in /proc.
    QTest::newRow("/proc/self") << "/proc/self" << false;
    QTest::newRow("missing folder") << "missing" << false;
    QTest::newRow("a file, not a folder") << "program/file" << false;
    if (geteuid() != 0) {
        QTest::newRow("mode 0555") << "read-only" << false;
    }
}

void ApplicationFolderTest::probeTellsWhetherFilesCanBeCreated() {
    QFETCH(QString, folder);
    QFETCH(bool, writable);
    QVERIFY(writePlain(m_root->filePath("program/file"), "x"));
    QVERIFY(QDir().mkpath(m_root->filePath("read-only")));
    QVERIFY(
        QFile::setPermissions(m_root->filePath("read-only"), QFile::ReadOwner | QFile::ExeOwner));
    const QString full = QDir::isAbsolutePath(folder) ? folder : m_root->filePath(folder);
    QCOMPARE(canCreateFilesIn(full), writable);
    QCOMPARE(entries(program()), QStringList{"file"});  // the probe leaves nothing behind
    QVERIFY(QFile::setPermissions(m_root->filePath("read-only"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void ApplicationFolderTest::writableProgramFolderIsUsedAsItIs() {
    putPictures(installed(), "installed");
    // The real probe, on a folder where files can be created; a trailing separator is dropped.
    const ApplicationFolder folder =
        ApplicationFolder::resolve(program() + "/", perUser(), installed());
    QCOMPARE(folder.path, program());
    QVERIFY(!QFileInfo::exists(perUser()));
    QCOMPARE(entries(program()), QStringList());  // nothing copied in, no probe left
}

void ApplicationFolderTest::readOnlyProgramFolderMovesToThePerUserFolder() {
    putPictures(installed(), "installed");
    // The real probe again: as root too, /proc/self takes no files.
    const ApplicationFolder folder =
        ApplicationFolder::resolve("/proc/self", perUser(), installed());
    QCOMPARE(folder.path, perUser());
    QVERIFY(QFileInfo(perUser()).isDir());
    QCOMPARE(entries(perUser()), sorted(searchPagePictureNames()));
    for (const QString& name : searchPagePictureNames()) {
        QCOMPARE(readAll(folder.filePath(name)), "installed " + name.toLatin1());
    }
}

void ApplicationFolderTest::picturesComeFromTheProgramFolderFirst() {
    putPictures(program(), "program");
    putPictures(installed(), "installed");
    const ApplicationFolder folder = resolveWithProgramWritable(false);
    QCOMPARE(folder.path, perUser());
    for (const QString& name : searchPagePictureNames()) {
        QCOMPARE(readAll(folder.filePath(name)), "program " + name.toLatin1());
    }
}

void ApplicationFolderTest::picturesAlreadyThereAreKept() {
    putPictures(installed(), "installed");
    QVERIFY(QDir().mkpath(perUser()));
    QVERIFY(writePlain(QDir(perUser()).filePath("go.gif"), "the user's own"));
    const ApplicationFolder folder = resolveWithProgramWritable(false);
    QCOMPARE(readAll(folder.filePath("go.gif")), "the user's own");
    QCOMPARE(readAll(folder.filePath("banner_top.gif")), "installed banner_top.gif");
    QCOMPARE(readAll(folder.filePath("searchfor.gif")), "installed searchfor.gif");
}

void ApplicationFolderTest::missingPicturesAreNoObstacle() {
    const ApplicationFolder folder = resolveWithProgramWritable(false);
    QCOMPARE(folder.path, perUser());
    QVERIFY(QFileInfo(perUser()).isDir());
    QCOMPARE(entries(perUser()), QStringList());
}

void ApplicationFolderTest::helpFileIsTheOneBesideTheProgramIfThereIsOne_data() {
    QTest::addColumn<bool>("besideProgram");
    QTest::addColumn<bool>("programWritable");
    QTest::newRow("beside a portable program") << true << true;
    QTest::newRow("beside a read-only program") << true << false;
    QTest::newRow("installed, portable program") << false << true;
    QTest::newRow("installed, read-only program") << false << false;
}

void ApplicationFolderTest::helpFileIsTheOneBesideTheProgramIfThereIsOne() {
    QFETCH(bool, besideProgram);
    QFETCH(bool, programWritable);
    if (besideProgram) {
        QVERIFY(writePlain(QDir(program()).filePath("tolvane.chm"), "help"));
    }
    const ApplicationFolder folder = resolveWithProgramWritable(programWritable);
    QCOMPARE(folder.helpFile,
             QDir(besideProgram ? program() : installed()).filePath("tolvane.chm"));
}

void ApplicationFolderTest::filePathIsInTheFolder() {
    const ApplicationFolder folder = resolveWithProgramWritable(true);
    QCOMPARE(folder.filePath("pref.ifm"), program() + "/pref.ifm");
    QCOMPARE(folder.filePath("AboutHtm.htm"), program() + "/AboutHtm.htm");
}

}  // namespace tolvane

QTEST_GUILESS_MAIN(tolvane::ApplicationFolderTest)
#include "application_folder_test.moc"
