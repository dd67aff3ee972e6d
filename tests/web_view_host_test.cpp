// WebViewHost and its WebEngine plugin. The test links no WebEngine, so /proc/self/maps shows
// whether the host has brought it in. Once loaded, WebEngine stays in the process: the test that
// must see it unloaded runs alone, as a test of its own for ctest. Every test makes what it needs.
// Whether root gets words instead of the engine is seen on the built program, in program_test;
// the search page is read here by the engine the program uses.

#include "web_view_host.h"
#include "qt_files.h"
#include "search_page.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <algorithm>
#include <memory>

#include <signal.h>

namespace tolvane {

namespace {

constexpr int kBoundMs = 60'000;  // a generous bound, not an expectation

bool isMapped(const QByteArray& fileNamePart) {
    return testing::readAll(QStringLiteral("/proc/self/maps")).contains(fileNamePart);
}

// The search page with its two services on loopback addresses of their own, so that loading it
// never reaches the network and an address tells which service a form names; `script` after it.
const QString kSearchService = QStringLiteral("http://127.0.0.3/affiliates/link/landx.htm");
QByteArray loopbackSearchPage(const QByteArray& script = {}) {
    return QByteArray::fromStdString(searchPageText(
               {"http://127.0.0.2", "127.0.0.3", "10000001", "1000001", "Loopback Search"})) +
           script;
}

// The view's page, found without linking WebEngine.
QObject* pageOf(QWidget* view) {
    const QObjectList children = view->children();
    const auto page = std::find_if(children.begin(), children.end(), [](QObject* child) {
        return child->inherits("QWebEnginePage");
    });
    return page == children.end() ? nullptr : *page;
}

}  // namespace

class WebViewHostTest : public QObject {
    Q_OBJECT

private:
    // A window with a host in it, the window shown and the host too unless the conversion panel
    // is showing; html written into a fresh folder, under a name of its own: "Go!" reloads the page
    // by its usual name. Returns the page's path, or nothing when the host has not made its view
    // exactly when shown.
    QString hostWithPage(const QByteArray& html, bool conversionPanel = false) {
        m_window = std::make_unique<QWidget>();
        m_host =
            new WebViewHost(m_window.get(), {QStringLiteral(TOLVANE_WEB_VIEW_PLUGIN_BUILD_DIR)});
        m_host->setHidden(conversionPanel);
        m_window->show();
        m_folder = std::make_unique<QTemporaryDir>();
        const QString page = m_folder->filePath(QStringLiteral("search.htm"));
        return QTest::qWaitForWindowExposed(m_window.get()) &&
                       (m_host->view() == nullptr) == conversionPanel &&
                       testing::writeAll(page, html)
                   ? page
                   : QString();
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QWidget> m_window;
    WebViewHost* m_host = nullptr;  // in m_window

private slots:
    void cleanup() {
        m_host = nullptr;
        m_window.reset();
        m_folder.reset();
    }

    void sandboxRefusesOnlyRootWithItsSandbox_data() {
        QTest::addColumn<unsigned>("euid");
        QTest::addColumn<QStringList>("environment");  // NAME=value entries
        QTest::addColumn<bool>("refuses");
        QTest::newRow("root") << 0U << QStringList() << true;
        QTest::newRow("ordinary user") << 1000U << QStringList() << false;
        QTest::newRow("root, sandbox disabled")
            << 0U << QStringList{"QTWEBENGINE_DISABLE_SANDBOX=1"} << false;
        // WebEngine asks only whether the variable is there.
        QTest::newRow("root, disabled with no value")
            << 0U << QStringList{"QTWEBENGINE_DISABLE_SANDBOX="} << false;
        QTest::newRow("root, other variable")
            << 0U << QStringList{"QTWEBENGINE_DISABLE_SANDBOXES=1", "DISABLE_SANDBOX=1"} << true;
        QTest::newRow("root, --no-sandbox flag")
            << 0U << QStringList{"QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu  --no-sandbox"} << false;
        QTest::newRow("root, other flags")
            << 0U << QStringList{"QTWEBENGINE_CHROMIUM_FLAGS=--no-sandboxing --no-zygote"} << true;
    }

    void sandboxRefusesOnlyRootWithItsSandbox() {
        QFETCH(unsigned, euid);
        QFETCH(QStringList, environment);
        QFETCH(bool, refuses);
        QProcessEnvironment env;
        for (const QString& entry : std::as_const(environment)) {
            env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        }
        QCOMPARE(sandboxRefusesToStart(euid, env), refuses);
    }

    void loadsWebEngineOnlyWhenFirstShown() {
        if (!qEnvironmentVariableIsSet("TOLVANE_WEB_VIEW_TEST_ALONE")) {
            QSKIP("runs alone, with WebEngine not loaded yet: ctest's web_view_host_first_show");
        }
        QVERIFY2(!isMapped("libQt6WebEngine"), "the test itself must not link WebEngine");
        const QString page = hostWithPage(loopbackSearchPage(), true);
        QVERIFY(!page.isEmpty());
        QSignalSpy finished(m_host, &WebViewHost::loadFinished);
        m_host->Navigate(m_folder->filePath("not there.htm"));
        m_host->Navigate(page);  // the last request before the view exists is the one kept
        QCoreApplication::processEvents();
        QCOMPARE(m_host->view(), nullptr);
        QVERIFY(!isMapped("libQt6WebEngine"));

        m_host->show();  // the user switches to the search panel
        QVERIFY(m_host->view() != nullptr);
        QVERIFY(isMapped("libQt6WebEngineCore"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kBoundMs);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
    }

    // The terms typed into the search page leave it by the search form's target, a new window: they
    // go to the user's own browser, to the search service with the scope and without the banner
    // form's fields, which a banner form left open would have swallowed the search form into. No
    // window opens, and only web addresses go on: a file: one, asked for first, is dropped.
    void goSendsTheSearchToTheUsersBrowser() {
        const QString page = hostWithPage(loopbackSearchPage(
            "<script>onload = () => { window.open('AboutHtm.htm', '_blank');"
            "document.querySelector('input[name=terms]').value = 'absolute zero';"
            "document.querySelector(\"input[alt='Go!']\").click(); }</script>"));
        QVERIFY(!page.isEmpty());
        QSignalSpy external(m_host, &WebViewHost::externalLinkRequested);
        m_host->Navigate(page);
        QTRY_VERIFY_WITH_TIMEOUT(!external.isEmpty(), kBoundMs);

        const QUrl url = external.at(0).at(0).toUrl();
        QCOMPARE(url.adjusted(QUrl::RemoveQuery).toString(), kSearchService);
        const QUrlQuery query(url);
        // Forms send a blank as "+", which QUrlQuery leaves as it is.
        QCOMPARE(query.queryItemValue("terms", QUrl::FullyDecoded),
                 QStringLiteral("absolute+zero"));
        QCOMPARE(query.queryItemValue("TopNode", QUrl::FullyDecoded), QStringLiteral("/"));
        QVERIFY2(query.hasQueryItem("rURL") && !query.hasQueryItem("siteid"),
                 qPrintable(url.toString()));
        const QWidgetList widgets = QApplication::allWidgets();
        QCOMPARE(std::count_if(widgets.begin(), widgets.end(),
                               [](const QWidget* w) { return w->inherits("QWebEngineView"); }),
                 1);
    }

    // The renderer dies under the page, as when it crashes or the system kills it.
    void aDeadRendererLeavesWordsUntilTheNextNavigate() {
        const QString page = hostWithPage(loopbackSearchPage());
        QVERIFY(!page.isEmpty());
        QSignalSpy finished(m_host, &WebViewHost::loadFinished);
        m_host->Navigate(page);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kBoundMs);
        QObject* webPage = pageOf(m_host->view());
        QVERIFY(webPage != nullptr);
        const qint64 renderer = webPage->property("renderProcessPid").toLongLong();
        QVERIFY(renderer > 0);

        QCOMPARE(::kill(static_cast<pid_t>(renderer), SIGKILL), 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_host->message() != nullptr && m_host->message()->isVisible(),
                                 kBoundMs);
        QVERIFY(!m_host->view()->isVisible() && m_host->isVisible());
        QVERIFY2(m_host->message()->text().contains(QStringLiteral("Refresh")),
                 qPrintable(m_host->message()->text()));

        finished.clear();
        m_host->Navigate(page);  // what Refresh does
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kBoundMs);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QVERIFY(m_host->view()->isVisible() && !m_host->message()->isVisible());
        QVERIFY(webPage->property("renderProcessPid").toLongLong() != renderer);
    }
};

}  // namespace tolvane

int main(int argc, char** argv) {
    tolvane::prepareForLazyWebEngine();  // as the program does, before the application exists
    QApplication app(argc, argv);
    tolvane::WebViewHostTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "web_view_host_test.moc"
