#include "application_folder.h"
#include "safe_file.h"
#include "search_page.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace tolvane {

class ApplicationFolderTest : public QObject {
    Q_OBJECT

private slots:
    void resolvesWhereTheProgramsFilesLive_data();
    void resolvesWhereTheProgramsFilesLive();
};

void ApplicationFolderTest::resolvesWhereTheProgramsFilesLive_data() {
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QByteArray>("ownGoGif");  // already in the per-user folder; empty: none
    QTest::newRow("writable program folder") << true << QByteArray();
    QTest::newRow("read-only, first start") << false << QByteArray();
    QTest::newRow("read-only, a picture already there") << false << QByteArray("the user's own");
}

// Under one temporary root: the program's folder, the per-user one and the installed data
// folder, whose pictures say where they came from. The real probe decides whether the program
// folder takes files: the temporary one does, /proc/self does not, for root neither.
void ApplicationFolderTest::resolvesWhereTheProgramsFilesLive() {
    QFETCH(bool, writable);
    QFETCH(QByteArray, ownGoGif);
    QTemporaryDir root;
    const QString program = root.filePath("program");
    const QString perUser = root.filePath("home/data/tolvane");
    const QString installed = root.filePath("share/tolvane");
    QVERIFY(QDir().mkpath(program) && QDir().mkpath(installed));
    for (const QString name : searchPagePictureNames()) {
        QVERIFY(
            !writeFileAtomically(QDir(installed).filePath(name), "installed " + name.toLatin1()));
    }
    if (!ownGoGif.isEmpty()) {
        QVERIFY(QDir().mkpath(perUser));
        QVERIFY(!writeFileAtomically(QDir(perUser).filePath("go.gif"), ownGoGif));
    }

    // A trailing separator is dropped.
    const ApplicationFolder folder =
        ApplicationFolder::resolve(writable ? program + "/" : "/proc/self", perUser, installed);
    QCOMPARE(folder.path, writable ? program : perUser);
    QCOMPARE(folder.filePath("pref.ifm"), folder.path + "/pref.ifm");
    QCOMPARE(QFileInfo::exists(perUser), !writable);
    // No probe left behind (its name starts with a dot), nothing copied in.
    QVERIFY(QDir(program).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    for (const QString name : searchPagePictureNames()) {
        QFile picture(QDir(perUser).filePath(name));
        const QByteArray copied =
            name == u"go.gif" && !ownGoGif.isEmpty() ? ownGoGif : "installed " + name.toLatin1();
        QCOMPARE(picture.open(QIODevice::ReadOnly) ? picture.readAll() : QByteArray(),
                 writable ? QByteArray() : copied);
    }
}

}  // namespace tolvane

QTEST_GUILESS_MAIN(tolvane::ApplicationFolderTest)
#include "application_folder_test.moc"
