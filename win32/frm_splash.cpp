#include "frm_splash.h"

#include "wide_text.h"
#include "window_layouts.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kSplashClass[] = L"TolvaneSplash";

}  // namespace

frmSplash::frmSplash(int dotsPerInch) : m_fonts(dotsPerInch) {
    registerControlClasses();
    registerWindowClass({kSplashClass, DefWindowProcW, IDC_WAIT});
    const layout::Window design = layout::splashScreen();
    RECT outer = pixelRect({0, 0, design.clientWidth, design.clientHeight}, dotsPerInch);
    constexpr DWORD kStyle = WS_POPUP | WS_DLGFRAME;
    AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_TOOLWINDOW);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    // In the middle of the work area of the primary screen.
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    m_window = CreateWindowExW(WS_EX_TOOLWINDOW, kSplashClass, toUtf16Shown(design.caption).c_str(),
                               kStyle, workArea.left + (workArea.right - workArea.left - width) / 2,
                               workArea.top + (workArea.bottom - workArea.top - height) / 2, width,
                               height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    int id = 100;
    for (const layout::Control& control : design.controls) {
        const HWND made = createControl(control, m_window, id++, dotsPerInch);
        dressControl(made, control, m_fonts);
    }
}

frmSplash::~frmSplash() {
    close();
}

void frmSplash::close() {
    if (m_window != nullptr) {
        DestroyWindow(m_window);
        m_window = nullptr;
    }
}

void frmSplash::showAndPaint() {
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    RedrawWindow(m_window, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace tolvane::win32
