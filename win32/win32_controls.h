#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "window_layouts.h"

// Win32 controls made from the window tables.
namespace tolvane::win32 {

// The fonts of the tables at one DPI, made when first asked for and deleted with the set.
class FontSet {
public:
    explicit FontSet(int dotsPerInch) : m_dotsPerInch(dotsPerInch) {}
    ~FontSet();

    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;

    // The table's kDialogFont is the system's message font.
    HFONT font(const layout::Font& font);
    int dotsPerInch() const { return m_dotsPerInch; }

private:
    const int m_dotsPerInch;
    std::map<std::tuple<std::string, int, bool>, HFONT> m_fonts;
};

// Registers the window classes the controls need (once per process; later calls do nothing).
void registerControlClasses();

// The object a window of this program belongs to: given to CreateWindowExW as its last argument,
// kept in GWLP_USERDATA from WM_NCCREATE on.
template <typename Object>
Object* objectOfWindow(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    return reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Registers a window class of this program, once: later calls for the same name do nothing.
struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure;
    LPCWSTR cursor = IDC_ARROW;
    int backgroundColour = COLOR_BTNFACE;
    HICON icon = nullptr;
};
void registerWindowClass(const WindowClass& windowClass);

// Makes the control as a child of parent, with the given id, where the table has it at the DPI;
// its font comes from dressControl. A frame is a panel of its own, which holds the group box and
// the frame's controls and passes their notifications on to its own parent, so that hiding a
// panel hides all it holds.
HWND createControl(const layout::Control& control, HWND parent, int id, int dotsPerInch);

// The group box of a frame's panel.
HWND groupBoxOf(HWND panel);

// Gives the control the table's font, and an image its icon, at the font set's DPI.
void dressControl(HWND made, const layout::Control& control, FontSet& fonts);

// Puts the control where the table has it at the font set's DPI and dresses it: after a change
// of DPI.
void placeControl(HWND made, const layout::Control& control, FontSet& fonts);

// Pixels of a twips rectangle at a DPI.
RECT pixelRect(const layout::TwipsRect& rect, int dotsPerInch);

// A button that a click never gives the focus, so that the field being edited keeps its caret and
// selection; it can still have the focus from the keyboard.
void keepFocusOnClick(HWND button);

// The tool tips of one window.
class ToolTips {
public:
    explicit ToolTips(HWND owner);
    void add(HWND control, const std::string& text);

private:
    HWND m_window;
};

// The window's text as UTF-8.
std::string windowText(HWND window);

}  // namespace tolvane::win32
