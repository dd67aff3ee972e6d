#pragma once

#include <QtPlugin>

#include <functional>

class QUrl;
class QWidget;

namespace tolvane {

// What the web view plugin offers WebViewHost. It names no WebEngine type, so the program links
// no WebEngine library; the plugin brings those in when it is first loaded.
class WebViewFactory {
public:
    struct Callbacks {
        // Every request of the page for a new window (a form or link with a target, a script's
        // window.open). The view opens no window itself.
        std::function<void(const QUrl& url)> newWindowRequested;
        // The view finished loading a page, successfully or not.
        std::function<void(bool ok)> loadFinished;
        // The process that renders the page crashed or was killed; the view shows nothing until
        // it is given a page again, which starts a new one.
        std::function<void()> renderProcessEnded;
    };

    virtual ~WebViewFactory() = default;

    // A new browser view, child of parent, that reports through callbacks.
    virtual QWidget* createView(QWidget* parent, Callbacks callbacks) = 0;
    // Starts loading url into a view made by createView and returns at once.
    virtual void load(QWidget* view, const QUrl& url) = 0;
};

}  // namespace tolvane

#define TOLVANE_WEB_VIEW_FACTORY_IID "org.tolvane.WebViewFactory/2.0"
Q_DECLARE_INTERFACE(tolvane::WebViewFactory, TOLVANE_WEB_VIEW_FACTORY_IID)
