#include "program.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QUrl>

#include <functional>

#include "browser_launcher.h"
#include "frm_about.h"
#include "frm_pref.h"
#include "frm_splash.h"
#include "frm_temperature_one.h"
#include "help_window.h"
#include "preference_file.h"
#include "program_identity.h"
#include "web_view_host.h"

namespace tolvane {
namespace {

// Runs `work` from the event loop once `widget` has first been painted, so that it never holds up
// the window's first appearance. Widgets are painted only once their window is on the screen.
void whenFirstPainted(QWidget* widget, std::function<void()> work) {
    class Watcher : public QObject {
    public:
        Watcher(QWidget* widget, std::function<void()> work)
            : QObject(widget), m_work(std::move(work)) {}

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                QTimer::singleShot(0, parent(), std::move(m_work));
                watched->removeEventFilter(this);
                deleteLater();
            }
            return false;
        }

    private:
        std::function<void()> m_work;
    };
    widget->installEventFilter(new Watcher(widget, std::move(work)));
}

void showBusyPointer(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace

Program::Program(ApplicationFolder folder, std::unique_ptr<DesktopShell> shell)
    : m_folder(std::move(folder)), m_shell(std::move(shell)) {
    m_launcher = std::make_unique<BrowserLauncher>(*m_shell, m_messages,
                                                   m_folder.path.toStdString(), showBusyPointer);
}

Program::~Program() = default;

void Program::Main() {
    showBusyPointer(true);
    frmSplash splash;
    splash.showAndPaint();

    m_window = std::make_unique<frmTemperatureOne>(m_messages, m_folder.path);
    if (const auto error = m_window->AboutFile()) {
        m_pageWriteError = *error;
    }
    const QString prefFile = prefFilePath(m_folder.path);
    const PanelMode startPanel = readStartPanel(prefFile);

    Form_Load();
    m_window->setPanelMode(startPanel);
    m_window->arrangeForStartUp();

    frmTemperatureOne* window = m_window.get();
    connect(window, &frmTemperatureOne::closeRequested, this, &Program::cmd_Exit_Click);
    connect(window, &frmTemperatureOne::aboutRequested, this, &Program::cmd_About_Click);
    connect(window, &frmTemperatureOne::activated, this, &Program::Form_Activate);
    connect(window, &frmTemperatureOne::unloaded, this, &Program::Form_Unload);
    connect(window, &frmTemperatureOne::helpRequested, this, &Program::showHelp);
    connect(window->webView(), &WebViewHost::externalLinkRequested, this,
            &Program::openInUsersBrowser);
    m_preferences = std::make_unique<PreferencesOpener>(
        window, prefFile, [window](PanelMode mode) { window->setPanelMode(mode); }, m_messages);
    connect(window, &frmTemperatureOne::preferencesRequested, this,
            [this] { m_preferences->open(); });
    m_help = std::make_unique<HelpOpener>(window, m_messages);

    // Gone from the screen now; the widget itself goes when Main returns, so that destroying its
    // native window does not hold up the main window's.
    splash.close();
    showBusyPointer(false);
    m_window->show();
}

// The page was written before the window loads. The browser lookup waits until the window is on
// the screen, so that it never holds up the first paint; its answer is not needed here.
void Program::Form_Load() {
    m_window->cmdRefresh_Click();
    whenFirstPainted(m_window.get(), [this] {
        m_launcher->FindBrowser();
        if (!m_pageWriteError.isEmpty()) {
            m_messages.show(m_pageWriteError.toStdString(), programTitle().toStdString(),
                            MessageIcon::Information);
        }
    });
}

// The main window closed: nothing of the program may linger without it.
void Program::Form_Unload() {
    if (m_about) {
        m_about->close();
    }
    if (m_preferences && m_preferences->dialog()) {
        m_preferences->dialog()->close();
    }
    if (m_help && m_help->window()) {
        m_help->window()->close();
    }
}

// Ends the run at once: open dialogs are dropped unsaved.
void Program::cmd_Exit_Click() {
    if (m_window) {
        m_window->deleteSearchPage();
    }
    QCoreApplication::exit(0);
}

void Program::Close() {
    cmd_Exit_Click();
}

void Program::cmd_About_Click() {
    if (!m_about) {
        m_about = new frmAbout(
            *m_launcher, [this] { return static_cast<std::uintptr_t>(m_window->winId()); },
            m_window.get());
    }
    m_about->show();
}

// Coming back to the main window closes the About box. The main window may also be activated
// while the box is still opening (a closing menu hands the focus back on some desktops); that is
// no return from the box.
void Program::Form_Activate() {
    if (m_about && m_about->hasBeenActive()) {
        m_about->close();
    }
}

void Program::showHelp() {
    m_help->showHelp(m_folder.helpFile);
}

void Program::openInUsersBrowser(const QUrl& address) {
    m_launcher->openInUsersBrowser(address.toString().toStdString(),
                                   static_cast<std::uintptr_t>(m_window->winId()));
}

}  // namespace tolvane
