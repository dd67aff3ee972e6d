#include "web_engine_view_factory.h"

#include <QUrl>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace tolvane {

QWidget* WebEngineViewFactory::createView(QWidget* parent, Callbacks callbacks) {
    auto* view = new QWebEngineView(parent);
    // The search page is a local file that shows the banner service's tracking image; WebEngine
    // keeps local pages from loading anything remote unless told otherwise.
    view->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    // A request left unanswered opens nothing: the page then falls back on the view's
    // createWindow, which makes no window either.
    connect(view->page(), &QWebEnginePage::newWindowRequested, view,
            [report = std::move(callbacks.newWindowRequested)](
                QWebEngineNewWindowRequest& request) { report(request.requestedUrl()); });
    connect(view, &QWebEngineView::loadFinished, view, std::move(callbacks.loadFinished));
    // A renderer that ended normally was let go by the engine itself; anything else left the
    // view empty.
    connect(view->page(), &QWebEnginePage::renderProcessTerminated, view,
            [report = std::move(callbacks.renderProcessEnded)](
                QWebEnginePage::RenderProcessTerminationStatus status, int /*exitCode*/) {
                if (status != QWebEnginePage::NormalTerminationStatus) {
                    report();
                }
            });
    return view;
}

void WebEngineViewFactory::load(QWidget* view, const QUrl& url) {
    static_cast<QWebEngineView*>(view)->load(url);
}

}  // namespace tolvane
