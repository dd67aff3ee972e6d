// Start-up and the end of a run, each in an application folder of its own.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <unistd.h>

#include "browser_launcher.h"
#include "frm_about.h"
#include "frm_temperature_one.h"
#include "message_box_watcher.h"
#include "program.h"
#include "search_page.h"
#include "unit_line_edit.h"

using namespace tolvane;

namespace {

// A desktop that knows a browser and records what it is asked to start.
class RecordingShell : public DesktopShell {
public:
    Lookup findExecutable(const std::filesystem::path&) override {
        ++lookups;
        return {33, "/usr/bin/web"};
    }
    std::int32_t execute(std::uintptr_t, const std::string& program,
                         const std::string& address) override {
        started.push_back(program + " " + address);
        return 42;
    }
    std::vector<std::string> started;
    int lookups = 0;
};

int visibleWindows() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return static_cast<int>(
        std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); }));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Program> m_program;
    RecordingShell* m_shell = nullptr;

    QString path(const char* name) const { return m_folder->filePath(QString::fromLatin1(name)); }
    void writeFile(const char* name, const QByteArray& bytes) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void start() {
        auto shell = std::make_unique<RecordingShell>();
        m_shell = shell.get();
        ApplicationFolder folder{m_folder->path(), m_folder->filePath("tolvane.chm")};
        m_program = std::make_unique<Program>(folder, std::move(shell));
        m_program->Main();
        // The browser is looked up once, and not before the window is on the screen.
        QCOMPARE(m_shell->lookups, 0);
        QVERIFY(QTest::qWaitForWindowExposed(m_program->mainWindow()));
        QTRY_COMPARE(m_shell->lookups, 1);
    }
    frmTemperatureOne* window() const { return m_program->mainWindow(); }
    QString searchCommand() const { return window()->findChild<QAction*>("cmd_Search")->text(); }

private Q_SLOTS:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }
    void cleanup() {
        m_program.reset();
        m_folder.reset();
    }

    void startPanel_data() {
        QTest::addColumn<QByteArray>("pref");  // "-" for no file at all
        QTest::addColumn<bool>("search");
        QTest::newRow("start search CR LF") << QByteArray("start search\r\n") << true;
        QTest::newRow("start temp CR LF") << QByteArray("start temp\r\n") << false;
        QTest::newRow("trailing blank") << QByteArray("start search \r\n") << false;
        QTest::newRow("no line end") << QByteArray("start search") << true;
        QTest::newRow("line feed only") << QByteArray("start search\n") << false;
        QTest::newRow("more lines") << QByteArray("start search\r\nanything\r\n") << true;
        QTest::newRow("missing") << QByteArray("-") << false;
        QTest::newRow("binary") << QByteArray("\0\xff\x01start search", 16) << false;
    }

    void startPanel() {
        QFETCH(QByteArray, pref);
        QFETCH(bool, search);
        if (pref != "-") {
            writeFile("pref.ifm", pref);
        }
        start();

        QCOMPARE(window()->panelMode(), search ? PanelMode::Search : PanelMode::Conversion);
        QCOMPARE(searchCommand(), search ? QStringLiteral("&Temperature Conversion")
                                         : QStringLiteral("&Search About"));
        auto* frame1 = window()->findChild<QGroupBox*>("Frame1");
        auto* frame2 = window()->findChild<QGroupBox*>("Frame2");
        QCOMPARE(frame1->pos(), frame2->pos());
        QVERIFY(window()->centralWidget()->rect().contains(frame2->geometry()));
        QCOMPARE(window()->minimumSize(), window()->maximumSize());
        // No splash screen is left behind, and nothing is busy any more.
        QCOMPARE(visibleWindows(), 1);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        if (!search) {
            QTRY_COMPARE(QApplication::focusWidget(),
                         static_cast<QWidget*>(window()->unitField(UnitField::Celsius)));
        }
        // The preference file is read, never written, at start-up.
        if (pref != "-") {
            QCOMPARE(readAll(path("pref.ifm")), pref);
        }
    }

    void startUpWritesTheSearchPageAndTheEndRemovesIt_data() {
        QTest::addColumn<bool>("viaCloseCommand");
        QTest::newRow("Close command") << true;
        QTest::newRow("close box") << false;
    }

    void startUpWritesTheSearchPageAndTheEndRemovesIt() {
        QFETCH(bool, viaCloseCommand);
        writeFile("AboutHtm.htm", "left over from a crashed run");
        start();
        const QString page = path("AboutHtm.htm");
        QCOMPARE(window()->AboutFilePath(), page);
        QCOMPARE(readAll(page), QByteArray::fromStdString(searchPageText()));

        if (viaCloseCommand) {
            window()->findChild<QAction*>("cmd_Exit")->trigger();
        } else {
            window()->close();
        }
        QVERIFY(!QFile::exists(page));
    }

    void aboutBoxClosesWhenTheMainWindowIsActivatedAgain() {
        start();
        QVERIFY(QTest::qWaitForWindowActive(window()));
        window()->findChild<QAction*>("cmd_About")->trigger();
        QPointer<frmAbout> about = m_program->aboutBox();
        QVERIFY(about);
        // A closing menu may hand the activation back before the box ever was active.
        Q_EMIT window()->activated();
        QVERIFY(about);
        QVERIFY(QTest::qWaitForWindowActive(about));
        window()->findChild<QAction*>("cmd_About")->trigger();
        QCOMPARE(m_program->aboutBox(), about.data());  // still the one box

        about->Label3_Click();
        QCOMPARE(m_shell->started.size(), std::size_t{1});
        QCOMPARE(m_shell->started[0],
                 std::string("/usr/bin/web ") + about->homePageAddress().toStdString());

        window()->activateWindow();
        QTRY_VERIFY(about.isNull());
    }

    void closingTheMainWindowClosesTheDialogs() {
        start();
        window()->findChild<QAction*>("cmd_About")->trigger();
        window()->findChild<QAction*>("cmd_Pref")->trigger();
        QVERIFY(m_program->aboutBox() != nullptr);
        window()->close();
        QTRY_COMPARE(visibleWindows(), 0);
    }

    // The built program as the user starts it, as root, without switching the web view's
    // sandbox off, on the search panel, with the web view plugin beside it: WebEngine would end
    // the process, so the program must not start it. The program is a copy in a folder of its
    // own (it keeps its files beside itself); the plugin is linked in from the build.
    void rootWithTheSandboxSeesWordsAndKeepsTheProgram() {
#ifndef TOLVANE_WEB_VIEW_PLUGIN
        QSKIP("needs the web view plugin");
#else
        if (geteuid() != 0) {
            QSKIP("needs to run as root");
        }
        const QString program = path("tolvane");
        QVERIFY(QFile::copy(QStringLiteral(TOLVANE_PROGRAM), program));
        const QString plugin = QStringLiteral(TOLVANE_WEB_VIEW_PLUGIN);
        QVERIFY(QFile::link(plugin, m_folder->filePath(QFileInfo(plugin).fileName())));
        writeFile("pref.ifm", "start search\r\n");

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        environment.remove(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Qt's messages reach a pipe only when asked to.
        environment.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        QByteArray output;
        connect(&child, &QProcess::readyRead, this, [&] { output += child.readAll(); });
        child.start(program, {});
        QVERIFY(child.waitForStarted());

        // The words in place of the page are also written to the terminal.
        QTRY_VERIFY2_WITH_TIMEOUT(
            output.contains("not shown to the root user") || child.state() == QProcess::NotRunning,
            output.constData(), 60'000);
        QVERIFY2(child.state() == QProcess::Running, output.constData());
        QVERIFY(QFile::exists(path("AboutHtm.htm")));

        // Still there and answering: asked to end, it ends as "Close" does.
        child.terminate();
        QVERIFY(child.waitForFinished(60'000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY(!QFile::exists(path("AboutHtm.htm")));
        QVERIFY2(!output.contains("without --no-sandbox"), output.constData());
#endif
    }
};

QTEST_MAIN(ProgramTest)
#include "program_test.moc"
