#include <QBuffer>
#include <QTextBlock>
#include <QTreeWidget>
#include <QtTest>

#include "chm_file.h"
#include "help_window.h"
#include "qt_files.h"
#include "recorded_messages.h"

namespace tolvane {

using testing::readAll;

// The help file that the build compiles from resources/help, and the folder it compiled it in.
const QString kHelpFile = QStringLiteral(TOLVANE_TEST_HELP_CHM);
const QString kSources = QStringLiteral(TOLVANE_TEST_HELP_SOURCES);
// Damaged copies of the help file: a directory listing that leads into itself, a wrong block
// length in the reset table, the first half of the file alone. The help fuzzer starts from them.
const QString kDamaged = QStringLiteral(TOLVANE_TEST_DAMAGED_HELP_DIR "/");

// The bytes of `file` with `patch` put in place of those at `offset` past the first `at`.
QByteArray patched(const QString& file, const QByteArray& at, int offset, const QByteArray& patch) {
    QByteArray bytes = readAll(file);
    const qsizetype where = bytes.indexOf(at);
    if (where < 0 || bytes.mid(where + offset, patch.size()) == patch) {
        return {};
    }
    return bytes.replace(where + offset, patch.size(), patch);
}

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    // What comes out of the compiled file is what went into it (the picture, read through the help
    // window, below).
    void helpReadsAsItsSources() {
        const std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
        QVERIFY(help != nullptr);
        QCOMPARE(help->path(), kHelpFile);
        QCOMPARE(help->tableOfContents(), parseSitemap(readAll(kSources + "/toc.hhc")));
        QCOMPARE(help->defaultTopic(), QStringLiteral("/index.htm"));
        for (const HelpTopic& topic : help->tableOfContents()) {
            QCOMPARE(help->read(topic.local), readAll(kSources + topic.local));
        }
        QCOMPARE(help->read(QStringLiteral("/KEYPAD.HTM")), readAll(kSources + "/keypad.htm"));
        QCOMPARE(help->read(QStringLiteral("/no-such-page.htm")), std::nullopt);
    }

    // A reset table that names a wrong block length, which once overflowed the reader's buffer:
    // the reader does without the table, and every object reads as in the intact file, which is
    // read from memory.
    void wrongResetBlockLengthReadsAsTheIntactFile() {
        const QString damagedFile = kDamaged + "repro_heap_overflow.chm";
        // The table's entry size and header length, then the lengths of the uncompressed and
        // compressed data, then the block length, which should be 0x8000.
        const QByteArray intactBytes = patched(damagedFile, QByteArray::fromHex("0800000028000000"),
                                               24, QByteArray::fromHex("0080"));
        QVERIFY(!intactBytes.isEmpty());
        const std::unique_ptr<ChmFile> damaged = ChmFile::open(damagedFile);
        // Help files are read from memory too, as the fuzzer reads them.
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(intactBytes);
        const std::unique_ptr<ChmFile> intact = ChmFile::open(std::move(buffer), damagedFile);
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
        QVERIFY(window && window->isVisible() && messages.shown.empty());
        HelpBrowser* browser = window->browser();
        // The heading has the colour help.css gives it.
        QCOMPARE(browser->document()->begin().charFormat().foreground().color(),
                 QColor(0x27, 0x31, 0x3b));
        QCOMPARE(browser->loadResource(QTextDocument::ImageResource, QUrl("tolvane.png")),
                 readAll(kSources + "/tolvane.png"));

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

    // A damaged help file, or none, is reported and opens no window; a topic of the contents
    // that cannot be read out of the file shows as missing in a window that opens. `bytes` are
    // those of one of the damaged copies, or of the shipped file with `patch` put in place of the
    // bytes at `offset` past the first `at` in it; none for no file. A patch that finds no place
    // gives no bytes, and so fails its row with the words of a missing file.
    void damagedHelpFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");  // in the message box, or in place of the topic
        const QString unreadable = QStringLiteral("cannot be read");
        const auto damaged = [&](const char* name, const char* file) {
            QTest::newRow(name) << readAll(kDamaged + file) << unreadable;
        };
        const auto row = [&](const char* name, const char* at, int offset, QByteArray patch,
                             const QString& said) {
            QTest::newRow(name) << patched(kHelpFile, at, offset, patch) << said;
        };
        QTest::newRow("missing") << QByteArray() << "was not found";
        // The directory listing's "next block" leads back to itself; with #SYSTEM and the
        // contents file renamed, the contents had to be looked for all through it.
        damaged("listing that leads into itself, no #SYSTEM, no contents", "repro_enum_loop.chm");
        // The directory is there, the compressed data not.
        damaged("first half of the file", "repro_truncated_half.chm");
        // The LZX settings follow "LZXC" as 32-bit numbers: version, reset interval, window
        // size, windows per reset. An object's name in the directory listing is followed by its
        // section number.
        row("LZX settings of an unknown version", "LZXC", 4, QByteArray("\x02\0\0\x8e", 4),
            unreadable);
        row("LZX window too small, in bytes", "LZXC", 4, QByteArray("\x01\0\0\0", 4), unreadable);
        row("LZX settings in a section that does not exist",
            "::DataSpace/Storage/MSCompressed/ControlData", 44, "\x23", unreadable);
        row("default topic not in the directory", "/index.htm", 9, "x", unreadable);
        const QString missingTopic = QStringLiteral("This topic is missing from the help file.");
        row("topic not in the directory", "/keypad.htm", 10, "x", missingTopic);
        row("topic in a section that does not exist", "/keypad.htm", 11, "\x02", missingTopic);
    }
    void damagedHelpFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tolvane.chm"));
        QVERIFY(bytes.isEmpty() || testing::writeAll(path, bytes));

        testing::RecordedMessages messages;
        HelpOpener opener(nullptr, messages);
        opener.showHelp(path);
        const std::unique_ptr<HelpWindow> window(opener.window());
        if (window == nullptr) {
            QCOMPARE(messages.shown.size(), std::size_t{1});
            const QString text = QString::fromStdString(messages.shown[0].text);
            QVERIFY2(text.contains(QDir::toNativeSeparators(path)) && text.contains(said),
                     qPrintable(text));
        } else {
            QVERIFY(messages.shown.empty());
            QVERIFY(window->browser()->toPlainText().startsWith("Welcome to Varnel"));
            window->browser()->setSource(QUrl(QStringLiteral("keypad.htm")));
            QCOMPARE(window->browser()->toPlainText(), said);
            QCOMPARE(window->contents()->currentItem()->text(0), QStringLiteral("The keypad"));
        }
    }
};

}  // namespace tolvane

QTEST_MAIN(tolvane::HelpTest)
#include "help_test.moc"
