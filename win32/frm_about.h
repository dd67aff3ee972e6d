#pragma once

#include <functional>
#include <memory>
#include <string>

#include "dialog_window.h"

namespace tolvane::win32 {

// The About box: the program's name, what it does, and a "Home Page" link that opens the home
// page in the user's own browser. Modeless; it goes with Ok, or when the user returns to the main
// window.
class frmAbout : public DialogWindow {
public:
    using OpenInUsersBrowser = std::function<void(const std::string& address)>;

    frmAbout(HWND owner, int dotsPerInch, OpenInUsersBrowser openInUsersBrowser);

    void Label3_Click();

    // Whether the box has been the active window since it opened: only a return from it to the
    // main window closes it.
    bool hasBeenActive() const { return m_hasBeenActive; }

private:
    void onCommand(const layout::Control& control, int code) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    const OpenInUsersBrowser m_openInUsersBrowser;
    std::unique_ptr<ToolTips> m_toolTips;
    bool m_hasBeenActive = false;
};

}  // namespace tolvane::win32
