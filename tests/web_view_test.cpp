// The search page in the real web view: it loads, and what its forms and scripts ask to open in
// a new window goes to the user's own browser, http and https only, and never opens a window.
// WebEngine is linked in here to run scripts in the page; the laziness is tested without it.

#include "web_test_page.h"
#include "web_view_host.h"

#include <QApplication>
#include <QMutex>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <memory>

namespace tolvane {

namespace {

constexpr int kLoadBoundMs = 60'000;  // a generous bound, not an expectation

// The documented defaults, so the page is the one a default build writes.
constexpr SearchPageSites kDefaultSites{"http://banners.example.com", "search.example.com",
                                        "10000001", "1000001", "Example Search"};

// Keeps the test off the network: every request that is not for a local file is recorded and
// blocked, so nothing outside is contacted and nothing waits for a name server.
class LocalOnly : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (info.requestUrl().isLocalFile()) {
            return;
        }
        QMutexLocker lock(&m_mutex);
        m_blocked.append(info.requestUrl());
        info.block(true);
    }
    QList<QUrl> blocked() const {
        QMutexLocker lock(&m_mutex);
        return m_blocked;
    }

private:
    mutable QMutex m_mutex;
    QList<QUrl> m_blocked;
};

int webViewCount() {
    int count = 0;
    for (QWidget* widget : QApplication::allWidgets()) {
        count += qobject_cast<QWebEngineView*>(widget) != nullptr ? 1 : 0;
    }
    return count;
}

}  // namespace

class WebViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void showsThePageWrittenAtStartUp();
    void formSubmissionGoesToTheUsersBrowser();
    void onlyWebAddressesLeaveThePage();

private:
    void runScript(const QString& script);

    QTemporaryDir m_pageFolder;
    QString m_page;
    LocalOnly m_interceptor;
    std::unique_ptr<QWidget> m_window;
    WebViewHost* m_host = nullptr;
    QWebEngineView* m_view = nullptr;
};

void WebViewTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);  // WebEngine's profile data stays out of $HOME
    QVERIFY(m_pageFolder.isValid());
    m_page = testing::writeSearchPage(m_pageFolder.path(), kDefaultSites);
    QVERIFY(!m_page.isEmpty());
    QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(&m_interceptor);
}

// A shown host with the page loaded.
void WebViewTest::init() {
    m_window = std::make_unique<QWidget>();
    m_window->resize(509, 94);
    m_host = new WebViewHost(m_window.get(), {QStringLiteral(TOLVANE_WEB_VIEW_PLUGIN_BUILD_DIR)});
    m_host->resize(m_window->size());
    QSignalSpy finished(m_host, &WebViewHost::loadFinished);
    m_host->Navigate(m_page);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_view = qobject_cast<QWebEngineView*>(m_host->view());
    QVERIFY(m_view != nullptr);
    // Not QSignalSpy::wait(): that waits for a further signal, and the load may well have
    // finished while the window was being exposed.
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kLoadBoundMs);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
}

void WebViewTest::cleanup() {
    m_window.reset();
    m_host = nullptr;
    m_view = nullptr;
}

void WebViewTest::runScript(const QString& script) {
    bool done = false;
    m_view->page()->runJavaScript(script, [&done](const QVariant&) { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, kLoadBoundMs);
}

void WebViewTest::showsThePageWrittenAtStartUp() {
    QCOMPARE(m_view->url(), QUrl::fromLocalFile(m_page));
    // The page's parts are there: the search form's field and the three pictures, loaded.
    bool done = false;
    QVariant result;
    m_view->page()->runJavaScript(
        "[document.getElementsByName('terms').length,"
        " Array.from(document.images).filter(i => i.src.startsWith('file:') && i.complete"
        "   && i.naturalWidth > 0).length,"
        " document.querySelectorAll('input[type=image]').length]",
        [&](const QVariant& value) {
            result = value;
            done = true;
        });
    QTRY_VERIFY_WITH_TIMEOUT(done, kLoadBoundMs);
    QCOMPARE(result.toList(), (QVariantList{1, 2, 1}));
    // The tracking image was asked for, and kept from the network.
    const QUrl tracking(
        "http://banners.example.com/bfast/serve?bfmid=1000001&siteid=10000001&bfpage=shareware_1");
    QVERIFY(m_interceptor.blocked().contains(tracking));
}

void WebViewTest::formSubmissionGoesToTheUsersBrowser() {
    QSignalSpy external(m_host, &WebViewHost::externalLinkRequested);
    const int viewsBefore = webViewCount();
    const int windowsBefore = QApplication::topLevelWidgets().size();

    // What pressing Enter in the terms field does.
    runScript(
        "var terms = document.getElementsByName('terms')[0];"
        "terms.value = 'absolute zero';"
        "terms.form.requestSubmit();");
    QTRY_COMPARE_WITH_TIMEOUT(external.count(), 1, kLoadBoundMs);
    const QUrl url = external.at(0).at(0).toUrl();
    QCOMPARE(url.scheme(), QStringLiteral("http"));
    // The banner form's start tag is still open when the search form's comes, so by HTML's
    // rules the search form is not made and its fields belong to the banner form.
    QCOMPARE(url.host(), QStringLiteral("banners.example.com"));
    QCOMPARE(url.path(), QStringLiteral("/bfast/click"));
    const QUrlQuery query(url);
    // A form's query writes a blank as '+', which QUrlQuery leaves as it is.
    QCOMPARE(query.queryItemValue("terms", QUrl::FullyDecoded), QStringLiteral("absolute+zero"));
    QCOMPARE(query.queryItemValue("siteid"), QStringLiteral("10000001"));
    QCOMPARE(query.queryItemValue("bfmid"), QStringLiteral("1000001"));
    QCOMPARE(query.queryItemValue("rURL", QUrl::FullyDecoded),
             QStringLiteral("search.example.com/affiliates/search/searchx.htm"));
    QCOMPARE(query.queryItemValue("TopNode", QUrl::FullyDecoded), QStringLiteral("/"));

    // No window opened, and the page stays where it was.
    QCOMPARE(webViewCount(), viewsBefore);
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
    QCOMPARE(m_view->url(), QUrl::fromLocalFile(m_page));
}

void WebViewTest::onlyWebAddressesLeaveThePage() {
    QSignalSpy external(m_host, &WebViewHost::externalLinkRequested);
    QList<QUrl> requested;
    connect(m_view->page(), &QWebEnginePage::newWindowRequested, this,
            [&requested](QWebEngineNewWindowRequest& request) {
                requested.append(request.requestedUrl());
            });
    const int viewsBefore = webViewCount();

    // Requests reach the page in order, so once the last one has arrived the others have been
    // dealt with.
    const QUrl file = QUrl::fromLocalFile(m_page);
    runScript(QString("window.open('%1', '_blank');"
                      "window.open('javascript:void(0)', '_tgtNew');"
                      "window.open('https://www.example.org/last', '_blank');")
                  .arg(file.toString()));
    QTRY_VERIFY_WITH_TIMEOUT(requested.contains(QUrl("https://www.example.org/last")),
                             kLoadBoundMs);

    QVERIFY2(requested.contains(file), "the file: request never reached the page");
    QCOMPARE(external.count(), 1);
    QCOMPARE(external.at(0).at(0).toUrl(), QUrl("https://www.example.org/last"));
    QCOMPARE(webViewCount(), viewsBefore);
}

}  // namespace tolvane

int main(int argc, char** argv) {
    tolvane::prepareForLazyWebEngine();  // as the program does, before the application exists
    QApplication app(argc, argv);
    tolvane::WebViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "web_view_test.moc"
