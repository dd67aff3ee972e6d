#include "program.h"

#include <QApplication>

#include "browser_launcher.h"
#include "frm_splash.h"
#include "frm_temperature_one.h"
#include "preference_file.h"

namespace tolvane {
namespace {

void showBusyPointer(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace

Program::Program(ApplicationFolder folder, std::unique_ptr<DesktopShell> shell)
    : m_folder(std::move(folder)),
      m_shell(std::move(shell)),
      m_launcher(
          std::make_unique<BrowserLauncher>(*m_shell, m_messages, m_folder.path, showBusyPointer)),
      m_searchPage(m_folder.path) {}

Program::~Program() = default;

void Program::Main() {
    showBusyPointer(true);
    frmSplash splash;
    splash.showAndPaint();

    const std::filesystem::path prefFile = prefFilePath(m_folder.path);
    m_window = std::make_unique<frmTemperatureOne>(
        MainWindowServices{m_messages, *m_launcher, m_searchPage, prefFile, m_folder.helpFile});
    // A page that cannot be written is reported once the window is on the screen.
    m_window->AboutFile();
    const PanelMode startPanel = readStartPanel(prefFile);

    m_window->Form_Load();
    m_window->setPanelMode(startPanel);
    m_window->arrangeForStartUp();

    // Gone from the screen now; the widget itself goes when Main returns, so that destroying its
    // native window does not hold up the main window's.
    splash.close();
    showBusyPointer(false);
    m_window->show();
}

void Program::Close() {
    if (m_window) {
        m_window->cmd_Exit_Click();
    } else {
        QCoreApplication::exit(0);
    }
}

}  // namespace tolvane
