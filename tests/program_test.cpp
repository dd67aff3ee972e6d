// Start-up and the end of a run, each in an application folder of its own.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <unistd.h>

#include "frm_about.h"
#include "frm_splash.h"
#include "frm_temperature_one.h"
#include "program.h"
#include "qt_files.h"
#include "qt_paths.h"
#include "recording_desktop.h"
#include "search_page.h"
#include "unit_line_edit.h"

using namespace tolvane;
using testing::readAll;
using testing::writeAll;

namespace {

int visibleWindows() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return static_cast<int>(
        std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); }));
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Program> m_program;
    testing::RecordingDesktop* m_shell = nullptr;

    QString path(const char* name) const { return m_folder->filePath(QString::fromLatin1(name)); }
    void start() {
        auto shell = std::make_unique<testing::RecordingDesktop>();
        m_shell = shell.get();
        m_program = std::make_unique<Program>(
            ApplicationFolder{toPath(m_folder->path()), toPath(path("tolvane.chm")), {}},
            std::move(shell));
        m_program->Main();
        // The browser is looked up once, and not before the window is on the screen.
        QVERIFY(m_shell->log.empty());
        QVERIFY(QTest::qWaitForWindowExposed(m_program->mainWindow()));
        QTRY_COMPARE(m_shell->log, "find " + path("temphtm.HTM").toStdString() + "\n");
    }
    frmTemperatureOne* window() const { return m_program->mainWindow(); }
    void trigger(const char* action) { window()->findChild<QAction*>(action)->trigger(); }

private Q_SLOTS:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }
    void cleanup() {
        m_program.reset();
        m_folder.reset();
    }

    // Whatever font stands in for Arial on this machine, no text is cut. (That showAndPaint draws
    // before returning cannot be seen here: the offscreen platform draws on show() already.)
    void splashIsCentredAndCutsNoText() {
        frmSplash splash;
        splash.showAndPaint();
        const QPoint offCentre =
            splash.geometry().center() - splash.screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        for (const QLabel* label : splash.findChildren<QLabel*>()) {
            QVERIFY2(label->contentsRect().size().expandedTo(label->sizeHint()) ==
                         label->contentsRect().size(),
                     qPrintable(label->objectName()));
        }
    }

    // Which preference line chooses which panel is preference_file_test's; here, that the file is
    // read. Closing the window also closes the dialogs: nothing of the program lingers without it.
    void startAndEnd_data() {
        QTest::addColumn<bool>("search");  // start on the search panel, end by the Close command
        QTest::newRow("start search, Close command") << true;
        QTest::newRow("no preference file, close box") << false;
    }

    void startAndEnd() {
        QFETCH(bool, search);
        if (search) {
            QVERIFY(writeAll(path("pref.ifm"), "start search\r\n"));
        }
        QVERIFY(writeAll(path("AboutHtm.htm"), "left over from a crashed run"));
        start();

        QCOMPARE(window()->panelMode(), search ? PanelMode::Search : PanelMode::Conversion);
        QCOMPARE(readAll(path("AboutHtm.htm")), QByteArray::fromStdString(searchPageText()));
        // Both panels lie in the window, whatever height the menu bar has here.
        for (const char* panel : {"Frame1", "Frame2"}) {
            QVERIFY2(window()->centralWidget()->rect().contains(
                         window()->findChild<QGroupBox*>(panel)->geometry()),
                     panel);
        }
        // No splash screen is left behind, and nothing is busy any more.
        QCOMPARE(visibleWindows(), 1);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        if (!search) {
            QTRY_COMPARE(QApplication::focusWidget(),
                         static_cast<QWidget*>(window()->unitField(UnitField::Celsius)));
        } else {  // read, never written, at start-up
            QCOMPARE(readAll(path("pref.ifm")), QByteArray("start search\r\n"));
        }

        trigger("cmd_About");
        trigger("cmd_Pref");
        if (search) {
            trigger("cmd_Exit");
        } else {
            window()->close();
            QTRY_COMPARE(visibleWindows(), 0);
        }
        QVERIFY(!QFile::exists(path("AboutHtm.htm")));
    }

    void aboutBoxClosesWhenTheMainWindowIsActivatedAgain() {
        start();
        QVERIFY(QTest::qWaitForWindowActive(window()));
        trigger("cmd_About");
        QPointer<frmAbout> about = window()->aboutBox();
        QVERIFY(about);
        // A closing menu may hand the activation back before the box ever was active.
        window()->Form_Activate();
        QVERIFY(QTest::qWaitForWindowActive(about));
        trigger("cmd_About");
        QCOMPARE(window()->aboutBox(), about.data());  // still the one box

        about->Label3_Click();
        QVERIFY(m_shell->log.ends_with("[/opt/web/browser] [" +
                                       about->homePageAddress().toStdString() + "]\n"));

        window()->activateWindow();
        QTRY_VERIFY(about.isNull());
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
        QVERIFY(writeAll(path("pref.ifm"), "start search\r\n"));

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
