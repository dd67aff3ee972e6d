#include "safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <csignal>

namespace tolvane {

class SafeFileTest : public QObject {
    Q_OBJECT

private slots:
    void replacesTheFileAsAWholeOrNotAtAll_data() {
        QTest::addColumn<Durability>("durability");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("diskFull");
        for (const auto& [name, durability] :
             {std::pair{"synced", Durability::Synced}, std::pair{"rebuilt", Durability::Rebuilt}}) {
            QTest::addRow("%s, longer old file", name) << durability << false << false;
            QTest::addRow("%s, planted link to another file", name) << durability << true << false;
            // A full disk stops a write half-way; so does the file size limit, which binds root
            // too.
            QTest::addRow("%s, disk full", name) << durability << false << true;
        }
    }

    // The old file, longer than the new one, is the file itself or the one a link planted in its
    // place names. Sizes tell whether a file was replaced as a whole, written through, cut short or
    // left alone. The new bytes fit in Qt's write buffer, so a full disk shows only once they are
    // flushed: the failure most easily missed.
    void replacesTheFileAsAWholeOrNotAtAll() {
        QFETCH(Durability, durability);
        QFETCH(bool, link);
        QFETCH(bool, diskFull);
        QTemporaryDir dir;
        const QString path = dir.filePath("pref.ifm");
        const QString victim = link ? dir.filePath("victim") : path;
        QVERIFY(!writeFileAtomically(victim, QByteArray(128 * 1024, 'x')));
        QVERIFY(!link || QFile::link(victim, path));

        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const rlimit lowered{diskFull ? 64 : saved.rlim_cur, saved.rlim_max};
        // Writing past the limit then fails with EFBIG instead of ending the test.
        std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &lowered) == 0);
        const std::optional<QString> error =
            writeFileAtomically(path, QByteArray(1024, 'y'), durability);
        setrlimit(RLIMIT_FSIZE, &saved);

        // A failure is reported and names the file.
        QCOMPARE(error.value_or(QString()).contains(QDir::toNativeSeparators(path)), diskFull);
        QCOMPARE(QFileInfo(path).size(), diskFull ? 128 * 1024 : 1024);
        QCOMPARE(QFileInfo(victim).size(), link || diskFull ? 128 * 1024 : 1024);
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), link ? 2 : 1);
    }
};

}  // namespace tolvane

QTEST_GUILESS_MAIN(tolvane::SafeFileTest)
#include "safe_file_test.moc"
