#include "safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <csignal>
#include <memory>

namespace tolvane {

namespace {

// The writer's error text, empty when it succeeded.
QString failureOf(const std::optional<QString>& result) {
    return result.value_or(QString());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writePlain(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Lowers the largest file size the process may write, as a full disk would stop a write
// half-way; restores it when it goes. Root is bound by it too, unlike permission bits.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        // Writing past the limit raises SIGXFSZ, which would end the test; ignored, write()
        // fails with EFBIG instead.
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool isActive() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
    bool m_active = false;
};

}  // namespace

class SafeFileTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void createsAMissingFile();
    void replacesAnExistingFileAsAWhole();
    void replacesAPlantedLinkInsteadOfFollowingIt_data();
    void replacesAPlantedLinkInsteadOfFollowingIt();
    void reportsAFolderThatTakesNoFiles_data();
    void reportsAFolderThatTakesNoFiles();
    void keepsTheOldFileWhenTheDiskFills();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList entries() const {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void SafeFileTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void SafeFileTest::createsAMissingFile() {
    const QByteArray bytes("line\r\n");
    QCOMPARE(failureOf(writeFileAtomically(path("new.htm"), bytes)), QString());
    QCOMPARE(readAll(path("new.htm")), bytes);
    QCOMPARE(entries(), QStringList{"new.htm"});
}

void SafeFileTest::replacesAnExistingFileAsAWhole() {
    // The old file is longer than the new one: nothing of it may remain.
    writePlain(path("page.htm"), QByteArray(4096, 'x'));
    const QByteArray bytes("short\r\n");
    QCOMPARE(failureOf(writeFileAtomically(path("page.htm"), bytes)), QString());
    QCOMPARE(readAll(path("page.htm")), bytes);
    QCOMPARE(entries(), QStringList{"page.htm"});  // no temporary file left behind
}

void SafeFileTest::replacesAPlantedLinkInsteadOfFollowingIt_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("link to a file") << "file";
    QTest::newRow("dangling link") << "dangling";
    QTest::newRow("link to a folder") << "folder";
}

void SafeFileTest::replacesAPlantedLinkInsteadOfFollowingIt() {
    QFETCH(QString, kind);
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    const QByteArray victimBytes("must stay as it is\n");
    QString target = elsewhere.filePath("victim");
    if (kind == "file") {
        writePlain(target, victimBytes);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(target));
    }
    QVERIFY(QFile::link(target, path("pref.ifm")));

    const QByteArray bytes("start temp\r\n");
    QCOMPARE(failureOf(writeFileAtomically(path("pref.ifm"), bytes)), QString());

    const QFileInfo written(path("pref.ifm"));
    QVERIFY(!written.isSymLink());
    QVERIFY(written.isFile());
    QCOMPARE(readAll(path("pref.ifm")), bytes);
    if (kind == "file") {
        QCOMPARE(readAll(target), victimBytes);
    } else if (kind == "folder") {
        QVERIFY(QDir(target).isEmpty());
    } else {
        QVERIFY(!QFileInfo::exists(target));
    }
    QCOMPARE(entries(), QStringList{"pref.ifm"});
}

void SafeFileTest::reportsAFolderThatTakesNoFiles_data() {
    QTest::addColumn<QString>("file");
    // Nobody, root included, creates files in a process's /proc folder.
    QTest::newRow("/proc/self") << "/proc/self/AboutHtm.htm";
    QTest::newRow("missing folder") << "missing/AboutHtm.htm";
}

void SafeFileTest::reportsAFolderThatTakesNoFiles() {
    QFETCH(QString, file);
    const QString full = QDir::isAbsolutePath(file) ? file : path(file);
    const std::optional<QString> error = writeFileAtomically(full, "start search\r\n");
    QVERIFY(error.has_value());
    QVERIFY2(error->contains(QDir::toNativeSeparators(full)), qPrintable(*error));
    QVERIFY(!QFileInfo::exists(full));
}

void SafeFileTest::keepsTheOldFileWhenTheDiskFills() {
    const QByteArray old("start search\r\n");
    writePlain(path("pref.ifm"), old);
    std::optional<QString> error;
    {
        FileSizeLimit limit(64);
        QVERIFY(limit.isActive());
        error = writeFileAtomically(path("pref.ifm"), QByteArray(64 * 1024, 'y'));
    }
    QVERIFY(error.has_value());
    QVERIFY2(error->contains(QDir::toNativeSeparators(path("pref.ifm"))), qPrintable(*error));
    QCOMPARE(readAll(path("pref.ifm")), old);
    QCOMPARE(entries(), QStringList{"pref.ifm"});
}

}  // namespace tolvane

QTEST_GUILESS_MAIN(tolvane::SafeFileTest)
#include "safe_file_test.moc"
