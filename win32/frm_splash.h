#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>

#include "win32_controls.h"

namespace tolvane::win32 {

// The splash screen that covers start-up: a borderless box in the middle of the screen with the
// program's name, version and authors.
class frmSplash {
public:
    explicit frmSplash(int dotsPerInch);
    ~frmSplash();

    frmSplash(const frmSplash&) = delete;
    frmSplash& operator=(const frmSplash&) = delete;

    // Shows it and paints it now: start-up goes on without a message loop until it is done.
    void showAndPaint();
    // Gone from the screen; start-up closes it before the main window shows.
    void close();
    HWND handle() const { return m_window; }

private:
    FontSet m_fonts;
    HWND m_window = nullptr;
};

}  // namespace tolvane::win32
