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

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    // What comes out of the compiled file is what went into it.
    void shippedHelpReadsAsItsSources() {
        const std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
        QVERIFY(help != nullptr);
        QCOMPARE(help->tableOfContents(), parseSitemap(readFile(kSources + "/toc.hhc")));
        for (const HelpTopic& topic : help->tableOfContents()) {
            QCOMPARE(help->read(topic.local), readFile(kSources + topic.local));
        }
        QCOMPARE(help->read(QStringLiteral("/no-such-page.htm")), std::nullopt);
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

    // The shipped file with damage put in: `patch` replaces the bytes at `offset` past the first
    // `at` in it; or no file at all.
    void unusableHelpFilesAreReported_data() {
        QTest::addColumn<QByteArray>("at");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("patch");
        const auto row = [](const char* name, const char* at, int offset, QByteArray patch) {
            QTest::newRow(name) << QByteArray(at) << offset << patch;
        };
        row("missing", "(missing)", 0, {});
        // Damage that made chmlib itself fail: a null LZX decoder, a division by zero, a
        // directory listing read past its end. The LZX settings follow "LZXC" as 32-bit numbers:
        // version, reset interval, window size, windows per reset. A listing starts with "PMGL"
        // and the number of unused bytes at its end. An object's name in it is followed by its
        // section number.
        row("LZX settings of an unknown version", "LZXC", 4, QByteArray("\x02\0\0\x8e", 4));
        row("LZX window too small, in bytes", "LZXC", 4, QByteArray("\x01\0\0\0", 4));
        row("LZX settings without windows per reset", "LZXC", 16, QByteArray(4, '\0'));
        row("directory listing longer than its block", "PMGL", 4, QByteArray("\xff\xff\0\0", 4));
        row("LZX settings in a section that does not exist",
            "::DataSpace/Storage/MSCompressed/ControlData", 44, "\x23");
    }
    void unusableHelpFilesAreReported() {
        QFETCH(QByteArray, at);
        QFETCH(int, offset);
        QFETCH(QByteArray, patch);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tolvane.chm"));
        if (at != "(missing)") {
            QByteArray bytes = readFile(kHelpFile);
            const qsizetype where = bytes.indexOf(at);
            QVERIFY(where >= 0 && bytes.mid(where + offset, patch.size()) != patch);
            bytes.replace(where + offset, patch.size(), patch);
            std::ofstream(path.toStdString(), std::ios::binary)
                .write(bytes.constData(), bytes.size());
        }

        testing::RecordedMessages messages;
        HelpOpener opener(nullptr, messages);
        opener.showHelp(path);
        QVERIFY(opener.window() == nullptr && messages.shown().size() == 1);
        const QString text = QString::fromStdString(messages.shown()[0].text);
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)) &&
                     text.contains(at == "(missing)" ? "was not found" : "cannot be read"),
                 qPrintable(text));
    }
};

}  // namespace tolvane

QTEST_MAIN(tolvane::HelpTest)
#include "help_test.moc"
