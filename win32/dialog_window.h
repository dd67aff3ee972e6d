#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string_view>
#include <vector>

#include "win32_controls.h"
#include "window_layouts.h"

namespace tolvane::win32 {

// A small fixed-size dialog made from its table, owned by the main window: it stays in front of
// it, has no task-bar button and no icon, goes when the main window goes, and opens where the
// system puts new windows. Modeless: the program's message
// loop hands it its dialog keys. Enter presses the button that has the focus, if any; Escape
// does nothing. The first tab stop has the focus when it opens, and the control that had it when
// it is activated again.
class DialogWindow {
public:
    DialogWindow(const layout::Window& design, HWND owner, int dotsPerInch);
    virtual ~DialogWindow();

    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    HWND handle() const { return m_window; }
    bool isOpen() const { return m_window != nullptr && !m_closing; }
    HWND control(std::string_view name) const;  // nullptr for a name the table does not have

    void show();
    void close();
    bool handleDialogMessage(MSG& message);

protected:
    // A notification of one of the table's controls.
    virtual void onCommand(const layout::Control& control, int code) = 0;
    // Any other message; true when it was handled, with its result in `result`.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    const layout::Window m_design;
    FontSet m_fonts;
    HWND m_window = nullptr;
    std::vector<HWND> m_controls;
    HWND m_focusToRestore = nullptr;
    // Destroying an active window activates its owner, which may ask it to close again.
    bool m_closing = false;
};

}  // namespace tolvane::win32
