// The search page as a real HTML parser reads it: WebEngine, linked directly, loads the page the
// program writes and tells which form each field belongs to and where "Go!" sends the terms.
// The two services sit on different loopback addresses, so nothing reaches the network and an
// address tells which service a form names.

#include "safe_file.h"
#include "search_page.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>

#include <optional>

namespace tolvane {

namespace {

constexpr int kBoundMs = 60'000;  // a generous bound, not an expectation

const QString kBannerClick = QStringLiteral("http://127.0.0.2/bfast/click");
const QString kSearch = QStringLiteral("http://127.0.0.3/affiliates/link/landx.htm");

}  // namespace

class SearchFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void thePageHasTwoSeparateForms();
    void goSendsTheTermsToTheSearchService();

private:
    // The value of script's last expression, once the page has worked it out.
    QVariant run(const QString& script) {
        std::optional<QVariant> result;
        m_page.runJavaScript(script, [&result](const QVariant& value) { result = value; });
        if (!QTest::qWaitFor([&result] { return result.has_value(); }, kBoundMs)) {
            return QStringLiteral("(no answer from the page)");
        }
        return *result;
    }

    QTemporaryDir m_folder;
    QWebEnginePage m_page;
};

void SearchFormTest::initTestCase() {
    const QString page = m_folder.filePath(QString::fromLatin1(kSearchPageFileName));
    const std::string text =
        searchPageText({"http://127.0.0.2", "127.0.0.3", "10000001", "1000001", "Loopback Search"});
    QVERIFY(!writeFileAtomically(page, QByteArray::fromStdString(text)));
    QSignalSpy finished(&m_page, &QWebEnginePage::loadFinished);
    m_page.load(QUrl::fromLocalFile(page));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kBoundMs);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
}

// A form nested in another is dropped by the parser, so with the banner form left open the page
// would have one form only. A form's elements leave out picture buttons such as "Go!": the
// banner's three hidden fields, and the terms, return address and scope list; which fields "Go!"
// sends is seen below.
void SearchFormTest::thePageHasTwoSeparateForms() {
    const QVariant actions = run(QStringLiteral(
        "Array.from(document.forms, f => f.getAttribute('action') + ' ' + f.elements.length)"));
    QCOMPARE(actions.toStringList(), (QStringList{kBannerClick + " 3", kSearch + " 3"}));
}

// Clicking "Go!" submits the search form into the window "_tgtNew", which reaches the program as
// a new-window request; its address is what the user's browser would be given.
void SearchFormTest::goSendsTheTermsToTheSearchService() {
    QList<QUrl> requested;
    connect(&m_page, &QWebEnginePage::newWindowRequested, this,
            [&requested](QWebEngineNewWindowRequest& request) {
                requested.append(request.requestedUrl());
            });
    QCOMPARE(run(QStringLiteral("document.querySelector('input[name=terms]').value = 'absolute "
                                "zero'; document.querySelector(\"input[alt='Go!']\").click(); 1"))
                 .toInt(),
             1);
    QTRY_VERIFY_WITH_TIMEOUT(!requested.isEmpty(), kBoundMs);

    const QUrl url = requested.first();
    QCOMPARE(url.adjusted(QUrl::RemoveQuery).toString(), kSearch);
    const QUrlQuery query(url);
    // Forms send a blank as "+", which QUrlQuery leaves as it is.
    QCOMPARE(query.queryItemValue(QStringLiteral("terms"), QUrl::FullyDecoded),
             QStringLiteral("absolute+zero"));
    QCOMPARE(query.queryItemValue(QStringLiteral("TopNode"), QUrl::FullyDecoded),
             QStringLiteral("/"));
    QVERIFY(query.hasQueryItem(QStringLiteral("rURL")));
    QVERIFY2(!query.hasQueryItem(QStringLiteral("siteid")), qPrintable(url.toString()));
}

}  // namespace tolvane

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);  // WebEngine needs it set first
    QGuiApplication app(argc, argv);
    tolvane::SearchFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "search_form_test.moc"
