#pragma once

#include <QPluginLoader>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QLabel;

namespace tolvane {

class WebViewFactory;

// Call in main() before the QApplication exists. WebEngine, loaded later from a plugin, then
// shares its OpenGL context with the application (Qt 6.4 crashes without it) and, on X11,
// renders in software: the search page needs no GPU, and this keeps Mesa's drivers out of the
// process. Environment variables the user has set are left as they are.
void prepareForLazyWebEngine();

// Whether WebEngine would end the whole process at start: its sandbox does not run as root, and
// Chromium then exits rather than run without it. The sandbox is off only when the user has
// said so (QTWEBENGINE_DISABLE_SANDBOX set, or --no-sandbox among QTWEBENGINE_CHROMIUM_FLAGS);
// the program never switches it off itself.
bool sandboxRefusesToStart(unsigned effectiveUserId, const QProcessEnvironment& environment);

// Where WebViewHost looks for its plugin: beside the program first, then the installed
// private library folder.
QStringList defaultWebViewPluginFolders();

// The place of the web browser control in the main window. It stays a plain widget until it is
// first shown; only then is the WebEngine plugin loaded and the real view created to fill it,
// so a run that never shows the search panel never loads WebEngine.
class WebViewHost : public QWidget {
    Q_OBJECT

public:
    explicit WebViewHost(QWidget* parent = nullptr,
                         QStringList pluginFolders = defaultWebViewPluginFolders());
    ~WebViewHost() override;

    // Shows the file at filePath. Before the view exists the request is kept and carried out
    // when it does; only the last one counts. After the page's renderer has died this starts a
    // new one.
    void Navigate(const QString& filePath);

    // The WebEngine view once it has been created; null before, and when it is not started.
    QWidget* view() const { return m_view; }
    // The words shown in place of the page when it cannot be shown; null or hidden otherwise.
    QLabel* message() const { return m_message; }

signals:
    // The page asked for a new window with an http or https address. No window is opened; the
    // address is for the user's own browser. Other addresses are dropped.
    void externalLinkRequested(const QUrl& url);
    // The view finished loading a page.
    void loadFinished(bool ok);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createView();
    WebViewFactory* loadFactory();
    void showMessage(const QString& text, const QString& details = {});
    void showPage();

    QStringList m_pluginFolders;
    QPluginLoader m_loader;
    WebViewFactory* m_factory = nullptr;
    QWidget* m_view = nullptr;
    QLabel* m_message = nullptr;
    QUrl m_pendingUrl;
    bool m_creationTried = false;
    bool m_renderProcessEnded = false;  // until the next Navigate
};

}  // namespace tolvane
