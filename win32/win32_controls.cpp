#include "win32_controls.h"

#include <commctrl.h>

#include <cmath>

#include "wide_text.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kPanelClass[] = L"TolvanePanel";
constexpr wchar_t kProgramIconName[] = L"IDI_ICON1";

// A panel is invisible itself: what matters is what it holds, and that their notifications reach
// the window that handles them.
LRESULT CALLBACK panelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
            return SendMessageW(GetParent(panel), message, wParam, lParam);
        default:
            return DefWindowProcW(panel, message, wParam, lParam);
    }
}

DWORD labelStyle(const layout::Control& control) {
    DWORD style = SS_NOPREFIX;
    if (control.alignment == layout::TextAlignment::Right) {
        style |= SS_RIGHT;
    } else {
        style |= control.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
    }
    // A static without SS_NOTIFY lets the mouse through, and its tool tip would never show.
    if (!control.toolTip.empty()) {
        style |= SS_NOTIFY;
    }
    return style;
}

LRESULT CALLBACK focuslessButtonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR) {
    const auto cursorInside = [button, lParam] {
        RECT client{};
        GetClientRect(button, &client);
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        return PtInRect(&client, point) != FALSE;
    };
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(button);
            SendMessageW(button, BM_SETSTATE, TRUE, 0);
            return 0;
        case WM_MOUSEMOVE:
            if (GetCapture() == button) {
                SendMessageW(button, BM_SETSTATE, cursorInside() ? TRUE : FALSE, 0);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            if (GetCapture() == button) {
                const bool clicked = cursorInside();
                ReleaseCapture();
                if (clicked) {
                    SendMessageW(GetParent(button), WM_COMMAND,
                                 MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(button));
                }
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            SendMessageW(button, BM_SETSTATE, FALSE, 0);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(button, focuslessButtonProcedure, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

FontSet::~FontSet() {
    for (const auto& [key, font] : m_fonts) {
        DeleteObject(font);
    }
}

HFONT FontSet::font(const layout::Font& font) {
    LOGFONTW description{};
    if (font.family == nullptr) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        description = metrics.lfMessageFont;
        const HDC screen = GetDC(nullptr);
        const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        description.lfHeight = MulDiv(description.lfHeight, m_dotsPerInch, systemDpi);
    } else {
        // Negative: the height of the characters, not of the cell, as point sizes are meant.
        description.lfHeight = -static_cast<LONG>(std::lround(font.points * m_dotsPerInch / 72.0));
        description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        description.lfCharSet = DEFAULT_CHARSET;
        description.lfQuality = CLEARTYPE_QUALITY;
        const std::wstring family = toUtf16Shown(font.family);
        family.copy(description.lfFaceName, LF_FACESIZE - 1);
    }
    const auto key = std::tuple(font.family == nullptr ? std::string() : std::string(font.family),
                                static_cast<int>(description.lfHeight), font.bold);
    if (const auto found = m_fonts.find(key); found != m_fonts.end()) {
        return found->second;
    }
    const HFONT made = CreateFontIndirectW(&description);
    m_fonts.emplace(key, made);
    return made;
}

void registerWindowClass(const WindowClass& windowClass) {
    WNDCLASSEXW registered{};
    registered.cbSize = sizeof(registered);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, windowClass.name, &registered)) {
        return;
    }
    registered.lpfnWndProc = windowClass.procedure;
    registered.hInstance = instance;
    registered.hIcon = windowClass.icon;
    registered.hCursor = LoadCursorW(nullptr, windowClass.cursor);
    registered.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(windowClass.backgroundColour + 1));
    registered.lpszClassName = windowClass.name;
    RegisterClassExW(&registered);
}

void registerControlClasses() {
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)initialised;
    registerWindowClass({kPanelClass, panelProcedure});
}

RECT pixelRect(const layout::TwipsRect& rect, int dotsPerInch) {
    const int left = layout::twipsToPixels(rect.left, dotsPerInch);
    const int top = layout::twipsToPixels(rect.top, dotsPerInch);
    return {left, top, left + layout::twipsToPixels(rect.width, dotsPerInch),
            top + layout::twipsToPixels(rect.height, dotsPerInch)};
}

HWND createControl(const layout::Control& control, HWND parent, int id, int dotsPerInch) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::wstring caption = toUtf16Shown(control.caption);
    const DWORD tabStop = control.tabStop ? WS_TABSTOP : 0;
    // Made in its place: moving a control after it is made costs as much again.
    const RECT place = pixelRect(control.rect, dotsPerInch);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const auto make = [&](DWORD exStyle, const wchar_t* windowClass, const wchar_t* text,
                          DWORD style) {
        return CreateWindowExW(
            exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top, width,
            height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    switch (control.kind) {
        case layout::ControlKind::Frame: {
            // Its own tab stops are reached from the window's, and it draws under its controls.
            const HWND panel =
                make(WS_EX_CONTROLPARENT, kPanelClass, caption.c_str(), WS_CLIPSIBLINGS);
            CreateWindowExW(0, WC_BUTTONW, caption.c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0,
                            0, width, height, panel, nullptr, instance, nullptr);
            return panel;
        }
        case layout::ControlKind::Label:
            return make(0, WC_STATICW, caption.c_str(), labelStyle(control));
        case layout::ControlKind::TextBox:
            return make(WS_EX_CLIENTEDGE, WC_EDITW, L"", ES_AUTOHSCROLL | tabStop);
        case layout::ControlKind::CommandButton:
            return make(0, WC_BUTTONW, caption.c_str(), BS_PUSHBUTTON | tabStop);
        case layout::ControlKind::OptionButton:
            return make(0, WC_BUTTONW, caption.c_str(), BS_AUTORADIOBUTTON | tabStop);
        case layout::ControlKind::Image:
            return make(0, WC_STATICW, L"", SS_ICON | SS_CENTERIMAGE);
        case layout::ControlKind::WebBrowser:
            // The window that shows the page makes its own (WebBrowserHost).
            return nullptr;
    }
    return nullptr;
}

void placeControl(HWND made, const layout::Control& control, FontSet& fonts) {
    const RECT place = pixelRect(control.rect, fonts.dotsPerInch());
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    SetWindowPos(made, nullptr, place.left, place.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.kind == layout::ControlKind::Frame) {
        SetWindowPos(groupBoxOf(made), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    dressControl(made, control, fonts);
}

void dressControl(HWND made, const layout::Control& control, FontSet& fonts) {
    const HFONT font = fonts.font(control.font);
    SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (control.kind == layout::ControlKind::Frame) {
        // Under the controls it frames.
        const HWND groupBox = groupBoxOf(made);
        SendMessageW(groupBox, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(groupBox, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else if (control.kind == layout::ControlKind::Image) {
        const RECT place = pixelRect(control.rect, fonts.dotsPerInch());
        const auto icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), kProgramIconName, IMAGE_ICON, place.right - place.left,
            place.bottom - place.top, LR_DEFAULTCOLOR | LR_SHARED));
        SendMessageW(made, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
}

HWND groupBoxOf(HWND panel) {
    for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (_wcsicmp(className, WC_BUTTONW) == 0 &&
            (GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) {
            return child;
        }
    }
    return nullptr;
}

void keepFocusOnClick(HWND button) {
    SetWindowSubclass(button, focuslessButtonProcedure, 0, 0);
}

ToolTips::ToolTips(HWND owner)
    : m_window(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr)) {}

void ToolTips::add(HWND control, const std::string& text) {
    std::wstring wide = toUtf16Shown(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    // The tool tip keeps a copy.
    tool.lpszText = wide.data();
    SendMessageW(m_window, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return toUtf8Shown(text);
}

}  // namespace tolvane::win32
