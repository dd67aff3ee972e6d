#include <QBuffer>
#include <QTextBlock>
#include <QTreeWidget>
#include <QtTest>

#include <fstream>

#include "chm_file.h"
#include "help_window.h"
#include "recorded_messages.h"

namespace tolvane {

// The help file that the build compiles from resources/help.
const QString kHelpFile = QStringLiteral(TOLVANE_TEST_HELP_CHM);
const QString kSources = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../resources/help";
// Damaged copies of the help file, each as it was found to upset an earlier help reader.
const QString kDamaged = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/data/help/";

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of `file` with `patch` put in place of those at `offset` past the first `at`.
QByteArray patched(const QString& file, const QByteArray& at, int offset, const QByteArray& patch) {
    QByteArray bytes = readFile(file);
    const qsizetype where = bytes.indexOf(at);
    if (where < 0 || bytes.mid(where + offset, patch.size()) == patch) {
        return {};
    }
    return bytes.replace(where + offset, patch.size(), patch);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary).write(bytes.constData(), bytes.size());
}

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    // What comes out of the compiled file is what went into it, read from a path or from memory.
    void helpReadsAsItsSources_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("fromMemory");
        QTest::newRow("from its path") << kHelpFile << false;
        QTest::newRow("from memory") << kHelpFile << true;
    }
    void helpReadsAsItsSources() {
        QFETCH(QString, file);
        QFETCH(bool, fromMemory);
        std::unique_ptr<ChmFile> help;
        if (fromMemory) {
            auto buffer = std::make_unique<QBuffer>();
            buffer->setData(readFile(file));
            help = ChmFile::open(std::move(buffer), file);
        } else {
            help = ChmFile::open(file);
        }
        QVERIFY(help != nullptr);
        QCOMPARE(help->path(), file);
        QCOMPARE(help->tableOfContents(), parseSitemap(readFile(kSources + "/toc.hhc")));
        QCOMPARE(help->defaultTopic(), QStringLiteral("/index.htm"));
        for (const HelpTopic& topic : help->tableOfContents()) {
            QCOMPARE(help->read(topic.local), readFile(kSources + topic.local));
        }
        QCOMPARE(help->read(QStringLiteral("/KEYPAD.HTM")), readFile(kSources + "/keypad.htm"));
        QCOMPARE(help->read(QStringLiteral("/tolvane.png")), readFile(kSources + "/tolvane.png"));
        QCOMPARE(help->read(QStringLiteral("/no-such-page.htm")), std::nullopt);
    }

    // A reset table that names a wrong block length, which once overflowed the reader's buffer:
    // the reader does without the table, and every object reads as in the intact file.
    void wrongResetBlockLengthReadsAsTheIntactFile() {
        const QString damagedFile = kDamaged + "repro_heap_overflow.chm";
        // The table's entry size and header length, then the lengths of the uncompressed and
        // compressed data, then the block length, which should be 0x8000.
        const QByteArray intactBytes = patched(damagedFile, QByteArray::fromHex("0800000028000000"),
                                               24, QByteArray::fromHex("0080"));
        QVERIFY(!intactBytes.isEmpty());
        QTemporaryDir folder;
        const QString intactFile = folder.filePath("intact.chm");
        writeFile(intactFile, intactBytes);

        const std::unique_ptr<ChmFile> damaged = ChmFile::open(damagedFile);
        const std::unique_ptr<ChmFile> intact = ChmFile::open(intactFile);
        QVERIFY(damaged != nullptr && intact != nullptr);
        QVERIFY(!intact->tableOfContents().isEmpty());
        QCOMPARE(damaged->tableOfContents(), intact->tableOfContents());
        QCOMPARE(damaged->defaultTopic(), intact->defaultTopic());
        for (const HelpTopic& topic : intact->tableOfContents()) {
            const std::optional<QByteArray> expected = intact->read(topic.local);
            QVERIFY2(expected && !expected->isEmpty(), qPrintable(topic.local));
            QCOMPARE(damaged->read(topic.local), expected);
        }
    }

    // One help window, turned to the default topic whenever asked for. Its style sheet and
    // pictures come out of the help file, links inside it are followed and the contents follow
    // the topic; nothing outside the file is loaded.
    void openerShowsOneHelpWindow() {
        testing::RecordedMessages messages;
        QWidget owner;
        HelpOpener opener(&owner, messages);
        opener.showHelp(kHelpFile);
        QPointer<HelpWindow> window = opener.window();
        QVERIFY(window && window->isVisible() && messages.shown().empty());
        HelpBrowser* browser = window->browser();
        // The heading has the colour help.css gives it.
        QCOMPARE(browser->document()->begin().charFormat().foreground().color(),
                 QColor(0x27, 0x31, 0x3b));
        QCOMPARE(browser->loadResource(QTextDocument::ImageResource, QUrl("tolvane.png")),
                 readFile(kSources + "/tolvane.png"));

        browser->setSource(QUrl(QStringLiteral("keypad.htm")));
        QCOMPARE(window->contents()->currentItem()->text(0), QStringLiteral("The keypad"));
        const QUrl outside(QStringLiteral("file:///etc/passwd"));
        browser->setSource(outside);
        QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/keypad.htm")));
        QVERIFY(!browser->loadResource(QTextDocument::ImageResource, outside).isValid());
        opener.showHelp(kHelpFile);
        QCOMPARE(opener.window(), window.data());
        QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/index.htm")));
    }

    // A damaged help file, or none: `file` is one of the damaged copies, or the shipped file
    // with `patch` put in place of the bytes at `offset` past the first `at` in it.
    void unusableHelpFilesAreReported_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("at");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("patch");
        const auto damaged = [](const char* name, const char* file) {
            QTest::newRow(name) << kDamaged + file << QByteArray() << 0 << QByteArray();
        };
        const auto row = [](const char* name, const char* at, int offset, QByteArray patch) {
            QTest::newRow(name) << kHelpFile << QByteArray(at) << offset << patch;
        };
        QTest::newRow("missing") << QString() << QByteArray() << 0 << QByteArray();
        // The directory listing's "next block" leads back to itself; with #SYSTEM and the
        // contents file renamed, the contents had to be looked for all through it.
        damaged("listing that leads into itself, no #SYSTEM, no contents", "repro_enum_loop.chm");
        // The directory is there, the compressed data not.
        damaged("first half of the file", "repro_truncated_half.chm");
        // The LZX settings follow "LZXC" as 32-bit numbers: version, reset interval, window
        // size, windows per reset. An object's name in the directory listing is followed by its
        // section number.
        row("LZX settings of an unknown version", "LZXC", 4, QByteArray("\x02\0\0\x8e", 4));
        row("LZX window too small, in bytes", "LZXC", 4, QByteArray("\x01\0\0\0", 4));
        row("LZX settings in a section that does not exist",
            "::DataSpace/Storage/MSCompressed/ControlData", 44, "\x23");
        row("default topic not in the directory", "/index.htm", 9, "x");
    }
    void unusableHelpFilesAreReported() {
        QFETCH(QString, file);
        QFETCH(QByteArray, at);
        QFETCH(int, offset);
        QFETCH(QByteArray, patch);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tolvane.chm"));
        if (!file.isEmpty()) {
            const QByteArray bytes =
                at.isEmpty() ? readFile(file) : patched(file, at, offset, patch);
            QVERIFY(!bytes.isEmpty());
            writeFile(path, bytes);
        }

        testing::RecordedMessages messages;
        HelpOpener opener(nullptr, messages);
        opener.showHelp(path);
        QVERIFY(opener.window() == nullptr && messages.shown().size() == 1);
        const QString text = QString::fromStdString(messages.shown()[0].text);
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)) &&
                     text.contains(file.isEmpty() ? "was not found" : "cannot be read"),
                 qPrintable(text));
    }

    // A topic of the contents that cannot be read out of the file: the help opens and says the
    // topic is missing. Patches as above.
    void unreadableTopicShowsAsMissing_data() {
        QTest::addColumn<QByteArray>("at");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("patch");
        QTest::newRow("not in the directory") << QByteArray("/keypad.htm") << 10 << QByteArray("x");
        QTest::newRow("in a section that does not exist")
            << QByteArray("/keypad.htm") << 11 << QByteArray("\x02");
    }
    void unreadableTopicShowsAsMissing() {
        QFETCH(QByteArray, at);
        QFETCH(int, offset);
        QFETCH(QByteArray, patch);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tolvane.chm"));
        const QByteArray bytes = patched(kHelpFile, at, offset, patch);
        QVERIFY(!bytes.isEmpty());
        writeFile(path, bytes);

        testing::RecordedMessages messages;
        HelpOpener opener(nullptr, messages);
        opener.showHelp(path);
        QVERIFY(opener.window() != nullptr && messages.shown().empty());
        HelpBrowser* browser = opener.window()->browser();
        QVERIFY(browser->toPlainText().startsWith("Welcome to Varnel"));
        browser->setSource(QUrl(QStringLiteral("keypad.htm")));
        QCOMPARE(browser->toPlainText(),
                 QStringLiteral("This topic is missing from the help file."));
        QCOMPARE(opener.window()->contents()->currentItem()->text(0), QStringLiteral("The keypad"));
        delete opener.window();
    }
};

}  // namespace tolvane

QTEST_MAIN(tolvane::HelpTest)
#include "help_test.moc"
