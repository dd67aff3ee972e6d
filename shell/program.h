#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

#include "application_folder.h"
#include "frm_about.h"
#include "qt_message_boxes.h"

namespace tolvane {

class BrowserLauncher;
class DesktopShell;
class HelpOpener;
class PreferencesOpener;
class frmTemperatureOne;

// The program as a whole: what lives as long as it runs, the start-up procedure, and the main
// window's commands that reach beyond the window (dialogs, help, the user's browser, the end).
class Program : public QObject {
    Q_OBJECT

public:
    // `folder` is where the program's files live (see ApplicationFolder).
    explicit Program(ApplicationFolder folder, std::unique_ptr<DesktopShell> shell);
    ~Program() override;

    // The start-up procedure: splash screen, search page, preference file, main window.
    void Main();

    // Ends the run as the menu command "Close" does: the search page goes, open dialogs are
    // dropped unsaved, the exit code is 0.
    void Close();

    frmTemperatureOne* mainWindow() const { return m_window.get(); }
    frmAbout* aboutBox() const { return m_about; }
    const ApplicationFolder& folder() const { return m_folder; }

private:
    void Form_Load();
    void Form_Unload();
    void cmd_Exit_Click();
    void cmd_About_Click();
    void Form_Activate();
    void showHelp();
    void openInUsersBrowser(const QUrl& address);

    const ApplicationFolder m_folder;
    QtMessageBoxes m_messages;
    std::unique_ptr<DesktopShell> m_shell;
    std::unique_ptr<BrowserLauncher> m_launcher;
    std::unique_ptr<frmTemperatureOne> m_window;
    std::unique_ptr<PreferencesOpener> m_preferences;
    std::unique_ptr<HelpOpener> m_help;
    QPointer<frmAbout> m_about;
    QString m_pageWriteError;
};

}  // namespace tolvane
