#pragma once

#include <QObject>

#include <memory>

#include "application_folder.h"
#include "qt_message_boxes.h"
#include "search_page_file.h"

namespace tolvane {

class BrowserLauncher;
class DesktopShell;
class frmTemperatureOne;

// The program as a whole: the start-up procedure, and what lives as long as the run does: the
// message boxes, the browser launcher, the search page's file and the main window.
class Program : public QObject {
    Q_OBJECT

public:
    // `folder` is where the program's files live (see ApplicationFolder).
    Program(ApplicationFolder folder, std::unique_ptr<DesktopShell> shell);
    ~Program() override;

    // The start-up procedure: splash screen, search page, preference file, main window.
    void Main();

    // Ends the run as the menu command "Close" does.
    void Close();

    frmTemperatureOne* mainWindow() const { return m_window.get(); }
    const ApplicationFolder& folder() const { return m_folder; }

private:
    const ApplicationFolder m_folder;
    QtMessageBoxes m_messages;
    std::unique_ptr<DesktopShell> m_shell;
    std::unique_ptr<BrowserLauncher> m_launcher;
    SearchPageFile m_searchPage;
    std::unique_ptr<frmTemperatureOne> m_window;
};

}  // namespace tolvane
