// The floor that the Windows program's start-up is held against (startup_bench): a window with
// the main window's controls and nothing else. The same menu bar, the two frames, the labels,
// the four fields and the keypad's buttons, made straight from the shared layout tables with
// CreateWindowExW and placed as the program places them, twips to pixels with MulDiv; no
// conversion core, no files, no splash screen, no web page.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "window_layouts.h"

namespace {

namespace layout = tolvane::layout;

constexpr wchar_t kTitle[] = L"Bare window";

std::wstring widen(std::string_view utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<HFONT__, FontDeleter>;

// The dots per inch the program lays its windows out for.
int screenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// The fonts of the table, each made once.
class Fonts {
public:
    explicit Fonts(int dotsPerInch) : dpi(dotsPerInch) {}
    HFONT operator()(const layout::Font& font) {
        if (!font.family) {
            return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        }
        const std::wstring key =
            widen(font.family) + (font.bold ? L" bold " : L" ") + std::to_wstring(font.points);
        auto& made = fonts[key];
        if (!made) {
            made.reset(CreateFontW(-MulDiv(static_cast<int>(font.points * 100), dpi, 7200), 0, 0, 0,
                                   font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH, widen(font.family).c_str()));
        }
        return made.get();
    }

private:
    const int dpi;
    std::map<std::wstring, UniqueFont> fonts;
};

HMENU makeMenuBar() {
    const HMENU bar = CreateMenu();
    const HMENU help = CreatePopupMenu();
    UINT command = 100;
    for (const layout::MenuItem& item : layout::kMainMenu) {
        const HMENU menu = item.inHelpMenu ? help : bar;
        if (std::string_view(item.caption) == "-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else if (std::string_view(item.name) == "cmd_Help") {
            AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help),
                        widen(item.caption).c_str());
        } else {
            AppendMenuW(menu, MF_STRING, command++, widen(item.caption).c_str());
        }
    }
    return bar;
}

struct WindowClass {
    const wchar_t* name;
    DWORD style;
};

WindowClass windowClass(const layout::Control& control) {
    switch (control.kind) {
        case layout::ControlKind::Frame:
            return {L"BUTTON", BS_GROUPBOX};
        case layout::ControlKind::Label:
            return {L"STATIC", static_cast<DWORD>(control.alignment == layout::TextAlignment::Right
                                                      ? SS_RIGHT
                                                      : SS_LEFT)};
        case layout::ControlKind::TextBox:
            return {L"EDIT", WS_BORDER | ES_AUTOHSCROLL};
        case layout::ControlKind::CommandButton:
            return {L"BUTTON", BS_PUSHBUTTON};
        case layout::ControlKind::OptionButton:
            return {L"BUTTON", BS_AUTORADIOBUTTON};
        case layout::ControlKind::Image:
        case layout::ControlKind::WebBrowser:
            break;
    }
    return {nullptr, 0};
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSW windowClassInfo{};
    windowClassInfo.lpfnWndProc = windowProcedure;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClassInfo.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    windowClassInfo.lpszClassName = L"TolvaneBareWindow";
    RegisterClassW(&windowClassInfo);

    const int dpi = screenDpi();
    const layout::Window table = layout::mainWindow(".");
    const HWND main = CreateWindowExW(
        0, windowClassInfo.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
        pixels(layout::kMainWindowOuterWidth, dpi), pixels(layout::kMainWindowOuterHeight, dpi),
        nullptr, makeMenuBar(), instance, nullptr);
    Fonts fonts(dpi);
    // Start-up shows the conversion panel and keeps the search panel, in the same place, hidden.
    const layout::TwipsRect conversionPanel = table.control("Frame2").rect;
    std::map<std::string, HWND> frames;
    for (const layout::Control& control : table.controls) {
        const auto [className, style] = windowClass(control);
        if (!className) {
            continue;  // the search page's browser: the floor has no web page
        }
        const bool searchPanel = control.name == "Frame1";
        const layout::TwipsRect place = searchPanel ? conversionPanel : control.rect;
        const HWND parent = control.parent.empty() ? main : frames.at(control.parent);
        const HWND made = CreateWindowExW(
            0, className, widen(control.caption).c_str(),
            WS_CHILD | (searchPanel ? 0 : WS_VISIBLE) | (control.tabStop ? WS_TABSTOP : 0) | style,
            pixels(place.left, dpi), pixels(place.top, dpi), pixels(place.width, dpi),
            pixels(place.height, dpi), parent, nullptr, instance, nullptr);
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(fonts(control.font)), FALSE);
        if (control.kind == layout::ControlKind::Frame) {
            frames[control.name] = made;
        }
    }
    ShowWindow(main, show);
    UpdateWindow(main);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(main, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
