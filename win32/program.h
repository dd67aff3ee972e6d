#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <string>

#include "application_folder.h"
#include "search_page_file.h"
#include "win32_message_boxes.h"

namespace tolvane {
class BrowserLauncher;
class DesktopShell;
}  // namespace tolvane

namespace tolvane::win32 {

class frmTemperatureOne;

// The program as a whole: the start-up procedure, the message loop, and what lives as long as the
// run does: the message boxes, the browser launcher, the search page's file and the main window.
class Program {
public:
    Program(ApplicationFolder folder, std::unique_ptr<DesktopShell> shell);
    ~Program();

    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The start-up procedure: hourglass, splash screen, search page, preference file, main window.
    void Main(int showCommand);

    // Runs the messages until the run ends; the exit code.
    int run();

    frmTemperatureOne* mainWindow() const { return m_window.get(); }

private:
    const ApplicationFolder m_folder;
    Win32MessageBoxes m_messages;
    std::unique_ptr<DesktopShell> m_shell;
    std::unique_ptr<BrowserLauncher> m_launcher;
    SearchPageFile m_searchPage;
    std::unique_ptr<frmTemperatureOne> m_window;
};

// What the window takes from the system: its DPI and the user's decimal separator.
int systemDotsPerInch();
std::string usersDecimalSeparator();

}  // namespace tolvane::win32
