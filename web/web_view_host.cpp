#include "web_view_host.h"

#include "browser_launcher.h"
#include "web_view_factory.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QVBoxLayout>

#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tolvane {

namespace {

// The plugin's base name; QPluginLoader adds the platform's suffix.
constexpr auto kPluginName = "tolvane_web_engine";

// Before the QApplication exists Qt has not chosen its platform yet; this is the same guess it
// will make on Linux: xcb unless another platform is asked for or there is no X display.
bool willUseXcb() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty()) {
        return platform.startsWith("xcb");
    }
    return qEnvironmentVariableIsSet("DISPLAY");
}

void setUnlessSet(const char* name, const QByteArray& value) {
    if (!qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
}

}  // namespace

void prepareForLazyWebEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (willUseXcb()) {
        setUnlessSet("QT_XCB_GL_INTEGRATION", "none");
        setUnlessSet("QT_QUICK_BACKEND", "software");
    }
}

bool sandboxRefusesToStart(unsigned effectiveUserId, const QProcessEnvironment& environment) {
    if (effectiveUserId != 0 ||
        environment.contains(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"))) {
        return false;
    }
    const QStringList flags = environment.value(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"))
                                  .split(u' ', Qt::SkipEmptyParts);
    return !flags.contains(QStringLiteral("--no-sandbox"));
}

QStringList defaultWebViewPluginFolders() {
    return {QCoreApplication::applicationDirPath(), QStringLiteral(TOLVANE_WEB_VIEW_PLUGIN_DIR)};
}

WebViewHost::WebViewHost(QWidget* parent, QStringList pluginFolders)
    : QWidget(parent), m_pluginFolders(std::move(pluginFolders)) {
    setObjectName(QStringLiteral("WebBrowser1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

// The view goes first, while the host it reports to is still whole; what it reports while it
// goes is no longer shown. The loader is not unloaded: WebEngine does not survive being unloaded
// from a running process.
WebViewHost::~WebViewHost() {
    delete std::exchange(m_view, nullptr);
}

void WebViewHost::Navigate(const QString& filePath) {
    const QUrl url = QUrl::fromLocalFile(filePath);
    if (m_view != nullptr) {
        m_renderProcessEnded = false;
        m_factory->load(m_view, url);
    } else {
        m_pendingUrl = url;
    }
}

void WebViewHost::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_creationTried) {
        m_creationTried = true;
        createView();
    }
}

void WebViewHost::createView() {
#ifdef Q_OS_UNIX
    if (sandboxRefusesToStart(geteuid(), QProcessEnvironment::systemEnvironment())) {
        const QString text =
            tr("The search page is not shown to the root user: the web view's sandbox cannot run "
               "as root. Start Varnel as an ordinary user to see it.");
        showMessage(text);
        qInfo("%s", qUtf8Printable(text));  // for whoever started the program from a terminal
        return;
    }
#endif

    m_factory = loadFactory();
    if (m_factory == nullptr) {
        // The loader says why in the tooltip, for whoever installed the program.
        showMessage(tr("The search page cannot be shown: the web view component is missing."),
                    m_loader.errorString());
        return;
    }

    WebViewFactory::Callbacks callbacks;
    callbacks.newWindowRequested = [this](const QUrl& url) {
        if (url.isValid() && isExternalWebAddress(url.toString(QUrl::FullyEncoded).toStdString())) {
            emit externalLinkRequested(url);
        }
    };
    // A page loaded after the renderer died comes with a new renderer, so it is shown again,
    // an error page included; the end of a load the dying renderer broke off is not.
    callbacks.loadFinished = [this](bool ok) {
        if (m_view != nullptr && !m_renderProcessEnded) {
            showPage();
        }
        emit loadFinished(ok);
    };
    callbacks.renderProcessEnded = [this] {
        if (m_view != nullptr) {
            m_renderProcessEnded = true;
            showMessage(tr("The page stopped unexpectedly; press Refresh to show it again."));
        }
    };
    m_view = m_factory->createView(this, std::move(callbacks));
    setFocusProxy(m_view);
    layout()->addWidget(m_view);
    m_view->show();

    if (!m_pendingUrl.isEmpty()) {
        m_factory->load(m_view, std::exchange(m_pendingUrl, QUrl()));
    }
}

WebViewFactory* WebViewHost::loadFactory() {
    for (const QString& folder : std::as_const(m_pluginFolders)) {
        if (folder.isEmpty()) {
            continue;
        }
        m_loader.setFileName(QDir(folder).filePath(QString::fromLatin1(kPluginName)));
        if (auto* factory = qobject_cast<WebViewFactory*>(m_loader.instance())) {
            return factory;
        }
    }
    return nullptr;
}

void WebViewHost::showMessage(const QString& text, const QString& details) {
    if (m_message == nullptr) {
        m_message = new QLabel(this);
        m_message->setObjectName(QStringLiteral("pageMessage"));
        m_message->setAlignment(Qt::AlignCenter);
        m_message->setWordWrap(true);
        m_message->setMargin(6);
        // Plain words, as the page and the Refresh button beside it are, not the panel's bold.
        QFont font = m_message->font();
        font.setBold(false);
        m_message->setFont(font);
        layout()->addWidget(m_message);
    }
    m_message->setText(text);
    m_message->setToolTip(details);
    if (m_view != nullptr) {
        m_view->hide();
    }
    m_message->show();
}

void WebViewHost::showPage() {
    if (m_message != nullptr) {
        m_message->hide();
    }
    m_view->show();
}

}  // namespace tolvane
