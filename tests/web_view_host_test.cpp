// WebViewHost without WebEngine linked in: this process maps WebEngine only once the host has
// loaded its plugin, so /proc/self/maps shows whether it has. The test functions run in the
// order declared; those that must see WebEngine unloaded come first.

#include "web_view_host.h"
#include "web_test_page.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <memory>
#include <optional>

namespace tolvane {

namespace {

constexpr int kLoadBoundMs = 60'000;  // a generous bound, not an expectation

// The page's outside addresses lie on the loopback interface, so that loading it never
// reaches the network and never waits for a name server.
constexpr SearchPageSites kLoopbackSites{"http://127.0.0.1", "127.0.0.1", "10000001", "1000001",
                                         "Example Search"};

bool isMapped(const QByteArray& fileNamePart) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(fileNamePart);
}

// A window with the host inside a frame, as the main window holds it in its search panel.
struct Window {
    explicit Window(QStringList pluginFolders) {
        auto* layout = new QVBoxLayout(&window);
        frame = new QFrame;
        layout->addWidget(frame);
        auto* frameLayout = new QVBoxLayout(frame);
        host = new WebViewHost(nullptr, std::move(pluginFolders));
        frameLayout->addWidget(host);
        window.resize(509, 94);
    }
    QWidget window;
    QFrame* frame = nullptr;
    WebViewHost* host = nullptr;
};

QStringList buildFolder() {
    return {QStringLiteral(TOLVANE_WEB_VIEW_PLUGIN_BUILD_DIR)};
}

}  // namespace

class WebViewHostTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void acceptsOnlyWebAddressesWithAHost_data();
    void acceptsOnlyWebAddressesWithAHost();
    void hostNeverShownLoadsNoWebEngine();
    void missingPluginShowsATextInstead();
    void shownHostLoadsThePluginAndShowsThePage();
    void preparationAsksForSoftwareRenderingOnX11Only_data();
    void preparationAsksForSoftwareRenderingOnX11Only();

private:
    QTemporaryDir m_pageFolder;
    QString m_page;
};

void WebViewHostTest::initTestCase() {
    QVERIFY(m_pageFolder.isValid());
    m_page = testing::writeSearchPage(m_pageFolder.path(), kLoopbackSites);
    QVERIFY(!m_page.isEmpty());
    QVERIFY2(!isMapped("libQt6WebEngine"), "the test itself must not link WebEngine");
}

void WebViewHostTest::acceptsOnlyWebAddressesWithAHost_data() {
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("http") << QUrl("http://search.example.com/a?terms=x") << true;
    QTest::newRow("https") << QUrl("https://www.example.org/") << true;
    QTest::newRow("scheme in capitals") << QUrl("HTTP://www.example.org/") << true;
    QTest::newRow("http without host") << QUrl("http:///etc/passwd") << false;
    QTest::newRow("file") << QUrl("file:///etc/passwd") << false;
    QTest::newRow("javascript") << QUrl("javascript:alert(1)") << false;
    QTest::newRow("data") << QUrl("data:text/html,<b>x</b>") << false;
    QTest::newRow("ftp") << QUrl("ftp://ftp.example.org/") << false;
    QTest::newRow("about:blank") << QUrl("about:blank") << false;
    QTest::newRow("relative") << QUrl("AboutHtm.htm") << false;
    QTest::newRow("empty") << QUrl() << false;
}

void WebViewHostTest::acceptsOnlyWebAddressesWithAHost() {
    QFETCH(QUrl, url);
    QFETCH(bool, accepted);
    QCOMPARE(isExternalWebAddress(url), accepted);
}

void WebViewHostTest::hostNeverShownLoadsNoWebEngine() {
    Window w(buildFolder());
    QCOMPARE(w.host->objectName(), QStringLiteral("WebBrowser1"));
    w.frame->hide();  // the conversion panel is showing
    w.host->Navigate(m_page);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QCoreApplication::processEvents();

    QVERIFY(!w.host->isVisible());
    QCOMPARE(w.host->view(), nullptr);
    QVERIFY(!isMapped("tolvane_webview"));
    QVERIFY(!isMapped("libQt6WebEngine"));
}

void WebViewHostTest::missingPluginShowsATextInstead() {
    QTemporaryDir empty;
    Window w({empty.path()});
    w.host->Navigate(m_page);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));

    QCOMPARE(w.host->view(), nullptr);
    const auto* label = w.host->findChild<QLabel*>();
    QVERIFY(label != nullptr);
    QVERIFY(label->isVisible());
    QVERIFY(!label->text().isEmpty());
    QVERIFY(!isMapped("libQt6WebEngine"));
    w.host->Navigate(m_page);  // later navigation is harmless
}

void WebViewHostTest::shownHostLoadsThePluginAndShowsThePage() {
    Window w(buildFolder());
    w.frame->hide();
    QSignalSpy finished(w.host, &WebViewHost::loadFinished);
    w.host->Navigate(m_pageFolder.filePath("not there.htm"));
    w.host->Navigate(m_page);  // the last request before the view exists is the one kept
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QVERIFY(!isMapped("libQt6WebEngine"));

    w.frame->show();  // the user switches to the search panel
    QVERIFY(w.host->view() != nullptr);
    QVERIFY(isMapped("tolvane_webview"));
    QVERIFY(isMapped("libQt6WebEngineCore"));

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kLoadBoundMs);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(w.host->view()->geometry(), w.host->rect());  // the view fills its place

    // Refresh: the same file again, loaded at once now that the view exists.
    w.host->Navigate(m_page);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, kLoadBoundMs);
    QCOMPARE(finished.at(1).at(0).toBool(), true);
}

// Runs last: it changes the environment (and restores it), which must not reach the web view.
void WebViewHostTest::preparationAsksForSoftwareRenderingOnX11Only_data() {
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("userQuickBackend");
    QTest::addColumn<QByteArray>("glIntegration");
    QTest::addColumn<QByteArray>("quickBackend");
    QTest::newRow("xcb asked for") << QByteArray("xcb") << QByteArray() << QByteArray()
                                   << QByteArray("none") << QByteArray("software");
    QTest::newRow("X display, no platform asked for")
        << QByteArray() << QByteArray(":0") << QByteArray() << QByteArray("none")
        << QByteArray("software");
    QTest::newRow("the user's own backend is kept")
        << QByteArray("xcb") << QByteArray(":0") << QByteArray("opengl") << QByteArray("none")
        << QByteArray("opengl");
    QTest::newRow("wayland") << QByteArray("wayland") << QByteArray(":0") << QByteArray()
                             << QByteArray() << QByteArray();
    QTest::newRow("offscreen") << QByteArray("offscreen") << QByteArray() << QByteArray()
                               << QByteArray() << QByteArray();
    QTest::newRow("no display at all")
        << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray();
}

void WebViewHostTest::preparationAsksForSoftwareRenderingOnX11Only() {
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, userQuickBackend);
    QFETCH(QByteArray, glIntegration);
    QFETCH(QByteArray, quickBackend);

    const QList<const char*> names = {"QT_QPA_PLATFORM", "DISPLAY", "QT_XCB_GL_INTEGRATION",
                                      "QT_QUICK_BACKEND"};
    QList<std::optional<QByteArray>> saved;
    for (const char* name : names) {
        saved.append(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    }
    const auto setOrUnset = [](const char* name, const QByteArray& value) {
        if (value.isEmpty()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    };
    setOrUnset("QT_QPA_PLATFORM", platform);
    setOrUnset("DISPLAY", display);
    setOrUnset("QT_XCB_GL_INTEGRATION", {});
    setOrUnset("QT_QUICK_BACKEND", userQuickBackend);

    // Called again while the application exists, Qt rightly warns about the attribute.
    QTest::ignoreMessage(QtWarningMsg,
                         "Attribute Qt::AA_ShareOpenGLContexts must be set before "
                         "QCoreApplication is created.");
    prepareForLazyWebEngine();
    const QByteArray gotGlIntegration = qgetenv("QT_XCB_GL_INTEGRATION");
    const QByteArray gotQuickBackend = qgetenv("QT_QUICK_BACKEND");

    for (qsizetype i = 0; i < names.size(); ++i) {
        setOrUnset(names[i], saved[i].value_or(QByteArray()));
    }
    QCOMPARE(gotGlIntegration, glIntegration);
    QCOMPARE(gotQuickBackend, quickBackend);
    QVERIFY(QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
}

}  // namespace tolvane

int main(int argc, char** argv) {
    tolvane::prepareForLazyWebEngine();  // as the program does, before the application exists
    QApplication app(argc, argv);
    tolvane::WebViewHostTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "web_view_host_test.moc"
