#pragma once

#include "web_view_factory.h"

#include <QObject>

namespace tolvane {

// Makes QWebEngineViews that open no windows of their own: every new-window request is reported
// and then dropped.
class WebEngineViewFactory : public QObject, public WebViewFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TOLVANE_WEB_VIEW_FACTORY_IID)
    Q_INTERFACES(tolvane::WebViewFactory)

public:
    QWidget* createView(QWidget* parent, Callbacks callbacks) override;
    void load(QWidget* view, const QUrl& url) override;
};

}  // namespace tolvane
