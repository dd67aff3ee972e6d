#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>

#include "message_boxes.h"

namespace tolvane::win32 {

// Message boxes of the system, owned by the window that `owner` names when one is shown: the
// owner cannot be used while its box is open.
class Win32MessageBoxes : public MessageBoxes {
public:
    explicit Win32MessageBoxes(std::function<HWND()> owner) : m_owner(std::move(owner)) {}

    void show(const std::string& text, const std::string& title, MessageIcon icon) override;

private:
    const std::function<HWND()> m_owner;
};

}  // namespace tolvane::win32
