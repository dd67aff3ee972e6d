#include "dialog_window.h"

#include <algorithm>

#include "wide_text.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kDialogClass[] = L"TolvaneDialog";
// Overlapped, not a pop-up: only those are placed where the system puts new windows.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kFirstControlId = 100;

}  // namespace

DialogWindow::DialogWindow(const layout::Window& design, HWND owner, int dotsPerInch)
    : m_design(design), m_fonts(dotsPerInch) {
    registerControlClasses();
    registerWindowClass({kDialogClass, windowProcedure});

    RECT outer = pixelRect({0, 0, design.clientWidth, design.clientHeight}, dotsPerInch);
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    CreateWindowExW(kExStyle, kDialogClass, toUtf16Shown(design.caption).c_str(), kStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                    outer.bottom - outer.top, owner, nullptr, GetModuleHandleW(nullptr), this);
    for (std::size_t index = 0; index < m_design.controls.size(); ++index) {
        const layout::Control& control = m_design.controls[index];
        const HWND parent = control.parent.empty() ? m_window : this->control(control.parent);
        const HWND made = createControl(control, parent, kFirstControlId + static_cast<int>(index),
                                        m_fonts.dotsPerInch());
        m_controls.push_back(made);
        dressControl(made, control, m_fonts);
    }
}

DialogWindow::~DialogWindow() {
    close();
}

HWND DialogWindow::control(std::string_view name) const {
    for (std::size_t index = 0; index < m_controls.size(); ++index) {
        if (m_design.controls[index].name == name) {
            return m_controls[index];
        }
    }
    return nullptr;
}

void DialogWindow::show() {
    ShowWindow(m_window, SW_SHOWNORMAL);
    SetForegroundWindow(m_window);
}

void DialogWindow::close() {
    if (m_window != nullptr && !m_closing) {
        m_closing = true;
        DestroyWindow(m_window);
    }
}

bool DialogWindow::handleDialogMessage(MSG& message) {
    return m_window != nullptr && IsDialogMessageW(m_window, &message) != FALSE;
}

bool DialogWindow::onMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT CALLBACK DialogWindow::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* self = objectOfWindow<DialogWindow>(window, message, lParam);
    if (message == WM_NCCREATE) {
        self->m_window = window;
    }
    if (self == nullptr || self->m_window != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT DialogWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = m_window;
    LRESULT result = 0;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id == IDOK && lParam == 0) {
            // Enter: the window is no dialog of the system's, which would press its default
            // button; here the focused button is pressed, if one has the focus.
            const HWND focused = GetFocus();
            if (std::find(m_controls.begin(), m_controls.end(), focused) != m_controls.end() &&
                (SendMessageW(focused, WM_GETDLGCODE, 0, 0) &
                 (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0) {
                SendMessageW(focused, BM_CLICK, 0, 0);
            }
            return 0;
        }
        const auto index = static_cast<std::size_t>(id - kFirstControlId);
        if (id >= kFirstControlId && index < m_controls.size() &&
            reinterpret_cast<HWND>(lParam) == m_controls[index]) {
            onCommand(m_design.controls[index], HIWORD(wParam));
        }
        return 0;
    }
    if (onMessage(message, wParam, lParam, result)) {
        return result;
    }
    if (message == WM_ACTIVATE) {
        const HWND focused = GetFocus();
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (focused != nullptr && IsChild(window, focused)) {
                m_focusToRestore = focused;
            }
        } else {
            const HWND target = m_focusToRestore != nullptr && IsWindow(m_focusToRestore)
                                    ? m_focusToRestore
                                    : GetNextDlgTabItem(window, nullptr, FALSE);
            SetFocus(target != nullptr ? target : window);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tolvane::win32
