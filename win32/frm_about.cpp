#include "frm_about.h"

#include "web_addresses.h"

namespace tolvane::win32 {
namespace {

// The link's colour, as a link has it.
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

}  // namespace

frmAbout::frmAbout(HWND owner, int dotsPerInch, OpenInUsersBrowser openInUsersBrowser)
    : DialogWindow(layout::aboutBox(), owner, dotsPerInch),
      m_openInUsersBrowser(std::move(openInUsersBrowser)),
      m_toolTips(std::make_unique<ToolTips>(handle())) {
    // The link reacts to the mouse: SS_NOTIFY, so that it is clicked and shows its tool tip.
    const HWND link = control("Label3");
    SetWindowLongPtrW(link, GWL_STYLE, GetWindowLongPtrW(link, GWL_STYLE) | SS_NOTIFY);
    m_toolTips->add(link, site::homePageAddress());
}

void frmAbout::Label3_Click() {
    m_openInUsersBrowser(site::homePageAddress());
}

void frmAbout::onCommand(const layout::Control& control, int code) {
    if (control.name == "Command1" && code == BN_CLICKED) {
        close();
    } else if (control.name == "Label3" && code == STN_CLICKED) {
        Label3_Click();
    }
}

bool frmAbout::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_ACTIVATE:
            m_hasBeenActive = m_hasBeenActive || LOWORD(wParam) != WA_INACTIVE;
            return false;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == control("Label3")) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                result = TRUE;
                return true;
            }
            return false;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == control("Label3")) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, kLinkColour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace tolvane::win32
