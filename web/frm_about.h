#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace tolvane {

class BrowserLauncher;

// The About box: the program's name, what it does, and a "Home Page" link that opens the home
// page in the user's own browser. It is modeless and goes away with Ok, or when the user returns
// to the main window.
class frmAbout : public QWidget {
    Q_OBJECT

public:
    // `ownerWindow` names the window the browser is started for (the main window's handle).
    frmAbout(BrowserLauncher& launcher, std::function<std::uintptr_t()> ownerWindow,
             QWidget* parent = nullptr);

    // The configured home page server followed by "/temhomep.htm".
    static QString homePageAddress();

    void Label3_Click();

    // Whether the box has been the active window since it opened: only a return from it to the
    // main window closes it.
    bool hasBeenActive() const { return m_hasBeenActive; }

private:
    void Command1_Click();

    BrowserLauncher& m_launcher;
    const std::function<std::uintptr_t()> m_ownerWindow;
    bool m_hasBeenActive = false;
};

}  // namespace tolvane
