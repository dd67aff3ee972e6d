#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtEndian>
#include <QtTest>

#include <memory>
#include <optional>

#include "chm_file.h"
#include "help_window.h"
#include "recorded_messages.h"

namespace tolvane {

using testing::RecordedMessages;

namespace {

// The help file that the build compiles from resources/help.
const QString kHelpFile = QStringLiteral(TOLVANE_TEST_HELP_CHM);

// The contents that resources/help/toc.hhc lists, in its order.
const QList<HelpTopic> kShippedContents = {
    {"Welcome to Varnel", "/index.htm", 0}, {"Converting a temperature", "/converting.htm", 0},
    {"The keypad", "/keypad.htm", 0},       {"Search About", "/search.htm", 0},
    {"Preferences", "/preferences.htm", 0}, {"About Varnel", "/about.htm", 0},
};

QList<QWidget*> helpWindows() {
    QList<QWidget*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<HelpWindow*>(widget) != nullptr) {
            found << widget;
        }
    }
    return found;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void objectPaths_data();
    void objectPaths();
    void sitemaps_data();
    void sitemaps();

    void opensTheShippedHelp();
    void everyContentsEntryCanBeRead();
    void missingObjectsReadAsNothing();

    void browserShowsTheDefaultTopicWithStyleAndPicture();
    void browserFollowsRelativeLinksInsideTheFile();
    void browserIgnoresLinksOutOfTheFile();
    void contentsFollowTheTopic();

    void openerShowsOneWindowAtTheDefaultTopic();
    void openerBelongsToTheMainWindow();
    void unusableHelpFilesAreReported_data();
    void unusableHelpFilesAreReported();
};

void HelpTest::objectPaths_data() {
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("path");
    const auto row = [](const char* tag, const char* reference, const char* path) {
        QTest::newRow(tag) << QString::fromLatin1(reference) << QString::fromLatin1(path);
    };

    row("plain", "index.htm", "/index.htm");
    row("absolute", "/index.htm", "/index.htm");
    row("folder", "html/topic.htm", "/html/topic.htm");
    row("anchor", "keypad.htm#caret", "/keypad.htm");
    row("backslashes", "html\\topic.htm", "/html/topic.htm");
    row("dot segments", "html/../index.htm", "/index.htm");
    row("ms-its", "ms-its:tolvane.chm::/index.htm", "/index.htm");
    row("MSITStore", "mk:@MSITStore:C:\\x\\tolvane.chm::/html/a.htm", "/html/a.htm");
    row("blanks around", "  index.htm ", "/index.htm");
}

void HelpTest::objectPaths() {
    QFETCH(QString, reference);
    QFETCH(QString, path);
    QCOMPARE(helpObjectPath(reference), path);
}

void HelpTest::sitemaps_data() {
    QTest::addColumn<QByteArray>("sitemap");
    QTest::addColumn<QList<HelpTopic>>("topics");

    QTest::newRow("flat") << QByteArray(R"(<UL>
        <LI> <OBJECT type="text/sitemap">
            <param name="Name" value="One"><param name="Local" value="one.htm"></OBJECT>
        <LI> <OBJECT type="text/sitemap">
            <param name="Name" value="Two"><param name="Local" value="two.htm"></OBJECT>
        </UL>)") << QList<HelpTopic>{{"One", "/one.htm", 0}, {"Two", "/two.htm", 0}};

    QTest::newRow("nested, heading without page") << QByteArray(R"(<ul>
        <li><object type="text/sitemap"><param name="Name" value="Book"></object>
          <ul>
            <li><object type="text/sitemap"><param name="Name" value="Page">
                <param name="Local" value="book/page.htm"></object>
            <ul><li><object type="text/sitemap"><param name="Name" value="Deep">
                <param name="Local" value="book/deep.htm"></object></ul>
          </ul>
        <li><object type="text/sitemap"><param name="Name" value="After">
            <param name="Local" value="after.htm"></object>
        </ul>)")
                                                  << QList<HelpTopic>{{"Book", "", 0},
                                                                      {"Page", "/book/page.htm", 1},
                                                                      {"Deep", "/book/deep.htm", 2},
                                                                      {"After", "/after.htm", 0}};

    QTest::newRow("site properties and other objects are not entries")
        << QByteArray(R"(<OBJECT type="text/site properties">
            <param name="ImageType" value="Folder"></OBJECT>
        <UL><LI><OBJECT type="application/x-other"><param name="Name" value="No"></OBJECT>
        <LI><OBJECT type="text/sitemap"><param name="Name" value="Yes">
            <param name="Local" value="yes.htm"></OBJECT></UL>)")
        << QList<HelpTopic>{{"Yes", "/yes.htm", 0}};

    QTest::newRow("entities, quotes, case, order of attributes")
        << QByteArray(R"(<UL><LI><OBJECT TYPE='text/sitemap'>
            <PARAM VALUE="Fish &amp; chips &lt;&#65;&#x42;&gt; &quot;q&quot;" NAME="name">
            <param name=local value=fish.htm>
            <param name="Name" value="Second name is ignored">
            <param name="Local" value="second.htm"></OBJECT></UL>)")
        << QList<HelpTopic>{{R"(Fish & chips <AB> "q")", "/fish.htm", 0}};

    QTest::newRow("Latin-1 names")
        << QByteArray(
               "<ul><li><object type=\"text/sitemap\">"
               "<param name=\"Name\" value=\"Caf\xe9\">"
               "<param name=\"Local\" value=\"cafe.htm\">"
               "</object></ul>")
        << QList<HelpTopic>{{QStringLiteral("Caf\u00e9"), "/cafe.htm", 0}};

    QTest::newRow("unbalanced lists stay at the top")
        << QByteArray(R"(</UL></UL><UL><LI><OBJECT type="text/sitemap">
            <param name="Name" value="Top"><param name="Local" value="top.htm"></OBJECT>)")
        << QList<HelpTopic>{{"Top", "/top.htm", 0}};

    QTest::newRow("not a sitemap")
        << QByteArray("\x00\x01\xff garbage <<< >>", 18) << QList<HelpTopic>{};
}

void HelpTest::sitemaps() {
    QFETCH(QByteArray, sitemap);
    QFETCH(QList<HelpTopic>, topics);
    const QList<HelpTopic> parsed = parseSitemap(sitemap);
    QCOMPARE(parsed.size(), topics.size());
    for (qsizetype i = 0; i < topics.size(); ++i) {
        QCOMPARE(parsed[i].name, topics[i].name);
        QCOMPARE(parsed[i].local, topics[i].local);
        QCOMPARE(parsed[i].depth, topics[i].depth);
    }
}

void HelpTest::opensTheShippedHelp() {
    const std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
    QVERIFY(help != nullptr);
    QCOMPARE(help->path(), kHelpFile);
    QCOMPARE(help->title(), QStringLiteral("Varnel V.2.4 Help"));
    QCOMPARE(help->defaultTopic(), QStringLiteral("/index.htm"));
    QCOMPARE(help->tableOfContents(), kShippedContents);
}

void HelpTest::everyContentsEntryCanBeRead() {
    const std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
    QVERIFY(help != nullptr);
    const QString sources =
        QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../resources/help");
    for (const HelpTopic& topic : help->tableOfContents()) {
        const std::optional<QByteArray> page = help->read(topic.local);
        QVERIFY2(page.has_value(), qPrintable(topic.local));
        // What comes out of the file is what went into it.
        QCOMPARE(*page, readFile(sources + topic.local));
    }
    QCOMPARE(help->read(QStringLiteral("/tolvane.png")), readFile(sources + "/tolvane.png"));
}

void HelpTest::missingObjectsReadAsNothing() {
    const std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
    QVERIFY(help != nullptr);
    QCOMPARE(help->read(QStringLiteral("/no-such-page.htm")), std::nullopt);
    QCOMPARE(help->read(QString()), std::nullopt);
}

void HelpTest::browserShowsTheDefaultTopicWithStyleAndPicture() {
    std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
    QVERIFY(help != nullptr);
    HelpWindow window(std::move(help));
    window.showDefaultTopic();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    HelpBrowser* browser = window.browser();

    QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/index.htm")));
    QCOMPARE(browser->documentTitle(), QStringLiteral("Welcome to Varnel"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("converts a temperature")));

    // The style sheet came out of the file: the heading has its colour.
    const QTextBlock heading = browser->document()->begin();
    QCOMPARE(heading.text().trimmed(), QStringLiteral("Welcome to Varnel"));
    QCOMPARE(heading.charFormat().foreground().color(), QColor(0x27, 0x31, 0x3b));

    // The picture came out of the file and was drawn: the document keeps it as a pixmap.
    browser->grab();
    const QVariant picture =
        browser->document()->resource(QTextDocument::ImageResource, QUrl("tolvane.png"));
    QCOMPARE(picture.typeId(), QMetaType::QPixmap);
    QCOMPARE(picture.value<QPixmap>().size(), QSize(32, 32));

    const QVariant direct =
        browser->loadResource(QTextDocument::ImageResource, QUrl("tolvane.png"));
    QCOMPARE(QImage::fromData(direct.toByteArray()).size(), QSize(32, 32));
    QVERIFY(browser->loadResource(QTextDocument::StyleSheetResource, QUrl("help.css"))
                .toString()
                .contains(QStringLiteral("font-family")));
    QVERIFY(!browser->loadResource(QTextDocument::ImageResource, QUrl("missing.png")).isValid());
}

void HelpTest::browserFollowsRelativeLinksInsideTheFile() {
    std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
    HelpWindow window(std::move(help));
    window.showDefaultTopic();
    HelpBrowser* browser = window.browser();

    browser->setSource(QUrl(QStringLiteral("converting.htm")));
    QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/converting.htm")));
    QCOMPARE(browser->documentTitle(), QStringLiteral("Converting a temperature"));

    browser->backward();
    QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/index.htm")));

    browser->setSource(QUrl(QStringLiteral("nowhere.htm")));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("missing from the help file")));
}

void HelpTest::browserIgnoresLinksOutOfTheFile() {
    std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
    HelpWindow window(std::move(help));
    window.showDefaultTopic();
    HelpBrowser* browser = window.browser();
    const QString shown = browser->toHtml();

    for (const char* link : {"http://example.org/", "file:///etc/passwd", "mailto:a@example.org"}) {
        browser->setSource(QUrl(QString::fromLatin1(link)));
        QCOMPARE(browser->source(), QUrl(QStringLiteral("chm:/index.htm")));
        QCOMPARE(browser->toHtml(), shown);
        QVERIFY(!browser->loadResource(QTextDocument::HtmlResource, QUrl(QString::fromLatin1(link)))
                     .isValid());
    }
}

void HelpTest::contentsFollowTheTopic() {
    std::unique_ptr<ChmFile> help = ChmFile::open(kHelpFile);
    HelpWindow window(std::move(help));
    window.showDefaultTopic();
    QTreeWidget* contents = window.contents();

    QStringList names;
    for (QTreeWidgetItemIterator it(contents); *it != nullptr; ++it) {
        names << (*it)->text(0);
    }
    QStringList expected;
    for (const HelpTopic& topic : kShippedContents) {
        expected << topic.name;
    }
    QCOMPARE(names, expected);
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("Welcome to Varnel"));

    // Choosing an entry shows its topic ...
    contents->setCurrentItem(contents->topLevelItem(2));
    QCOMPARE(window.browser()->source(), QUrl(QStringLiteral("chm:/keypad.htm")));
    // ... and following a link selects the entry of the topic it leads to.
    window.browser()->setSource(QUrl(QStringLiteral("preferences.htm")));
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("Preferences"));
}

void HelpTest::openerShowsOneWindowAtTheDefaultTopic() {
    RecordedMessages messages;
    QWidget owner;
    HelpOpener opener(&owner, messages);
    opener.showHelp(kHelpFile);
    QPointer<HelpWindow> window = opener.window();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Varnel V.2.4 Help"));
    QCOMPARE(window->browser()->source(), QUrl(QStringLiteral("chm:/index.htm")));

    window->browser()->setSource(QUrl(QStringLiteral("keypad.htm")));
    opener.showHelp(kHelpFile);
    QCOMPARE(opener.window(), window.data());
    QCOMPARE(helpWindows().size(), 1);
    QCOMPARE(window->browser()->source(), QUrl(QStringLiteral("chm:/index.htm")));
    QVERIFY(messages.shown().empty());

    // Closed, it goes; asked for again, it comes back.
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
    opener.showHelp(kHelpFile);
    QVERIFY(opener.window() != nullptr);
    QVERIFY(opener.window()->isVisible());
}

void HelpTest::openerBelongsToTheMainWindow() {
    RecordedMessages messages;
    auto* owner = new QWidget;
    HelpOpener opener(owner, messages);
    opener.showHelp(kHelpFile);
    QPointer<HelpWindow> window = opener.window();
    QCOMPARE(window->parentWidget(), owner);
    QVERIFY(window->isWindow());
    delete owner;
    QVERIFY(window.isNull());
    QVERIFY(opener.window() == nullptr);
}

void HelpTest::unusableHelpFilesAreReported_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("says");
    const auto row = [](const char* tag, const char* kind, const char* says) {
        QTest::newRow(tag) << QString::fromLatin1(kind) << QString::fromLatin1(says);
    };

    row("missing", "missing", "was not found");
    row("empty", "empty", "cannot be read");
    row("random bytes", "random", "cannot be read");
    row("help file cut where its content begins", "truncated", "cannot be read");
    row("folder", "folder", "cannot be read");
    // Damage that made chmlib itself fail: a null LZX decoder, a division by zero, a directory
    // listing read past its end.
    row("LZX settings of an unknown version", "lzx version", "cannot be read");
    row("LZX settings without windows per reset", "lzx windows", "cannot be read");
    row("LZX window too small", "lzx window", "cannot be read");
    row("directory listing longer than its block", "listing", "cannot be read");
    row("LZX settings in a section that does not exist", "section", "cannot be read");
}

void HelpTest::unusableHelpFilesAreReported() {
    QFETCH(QString, kind);
    QFETCH(QString, says);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("tolvane.chm"));
    if (kind == u"empty") {
        writeFile(path, {});
    } else if (kind == u"random") {
        QByteArray bytes(64 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(20240);
        generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        writeFile(path, bytes);
    } else if (kind == u"truncated") {
        // The file header gives, at byte 0x58, where the content begins (64 bits, little-endian);
        // everything before it is headers and the directory.
        const QByteArray whole = readFile(kHelpFile);
        QVERIFY(whole.size() > 0x60);
        const qint64 contentStart = qFromLittleEndian<qint64>(whole.constData() + 0x58);
        QVERIFY(contentStart > 0x60 && contentStart < whole.size());
        writeFile(path, whole.left(contentStart));
    } else if (kind.startsWith(u"lzx") || kind == u"listing" || kind == u"section") {
        // The LZX settings are six 32-bit numbers after their count: "LZXC", version, reset
        // interval, window size, windows per reset. A directory listing block starts with
        // "PMGL" and the number of unused bytes at its end.
        QByteArray bytes = readFile(kHelpFile);
        const qsizetype lzxc = bytes.indexOf("LZXC");
        const qsizetype listing = bytes.indexOf("PMGL");
        QVERIFY(lzxc > 0 && listing > 0);
        const auto put = [&bytes](qsizetype at, quint32 value) {
            qToLittleEndian(value, bytes.data() + at);
        };
        if (kind == u"lzx version") {
            put(lzxc + 4, 0x8e000002);
        } else if (kind == u"lzx windows") {
            put(lzxc + 16, 0);
        } else if (kind == u"lzx window") {
            put(lzxc + 4, 1);
            put(lzxc + 12, 2);
        } else if (kind == u"listing") {
            put(listing + 4, 0xffff);
        } else {
            // In the listing, an object's name is followed by its section number.
            const QByteArray name("::DataSpace/Storage/MSCompressed/ControlData");
            const qsizetype entry = bytes.indexOf(name);
            QVERIFY(entry > 0);
            QCOMPARE(bytes[entry + name.size()], '\0');
            bytes[entry + name.size()] = 35;
        }
        writeFile(path, bytes);
    } else if (kind == u"folder") {
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("tolvane.chm")));
    }

    RecordedMessages messages;
    QWidget owner;
    HelpOpener opener(&owner, messages);
    opener.showHelp(path);

    QCOMPARE(messages.shown().size(), 1u);
    const RecordedMessages::Shown& shown = messages.shown().front();
    QCOMPARE(shown.title, std::string("Varnel V.2.4"));
    QCOMPARE(shown.icon, MessageIcon::Exclamation);
    const QString text = QString::fromStdString(shown.text);
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
    QVERIFY2(text.contains(says), qPrintable(text));
    QVERIFY(opener.window() == nullptr);
    QVERIFY(helpWindows().isEmpty());
}

}  // namespace tolvane

QTEST_MAIN(tolvane::HelpTest)
#include "help_test.moc"
