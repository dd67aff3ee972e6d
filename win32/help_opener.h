#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>

#include "message_boxes.h"

namespace tolvane::win32 {

// The help, shown by Windows' own HTML Help. Its library is loaded the first time the help is
// asked for, so that a run without help does not pay for it.
class HelpOpener {
public:
    explicit HelpOpener(MessageBoxes& messages) : m_messages(messages) {}
    ~HelpOpener();

    HelpOpener(const HelpOpener&) = delete;
    HelpOpener& operator=(const HelpOpener&) = delete;

    // Shows the help file at its default topic, in front of owner. A help file that is missing or
    // cannot be read is reported in a message box instead.
    void showHelp(HWND owner, const std::filesystem::path& helpFile);

    // Closes every help window this program opened.
    void closeAll();

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

    bool load();

    MessageBoxes& m_messages;
    HMODULE m_library = nullptr;
    HtmlHelpFunction m_htmlHelp = nullptr;
};

// What the user is told where the system has no HTML Help.
inline constexpr const char* kNoHtmlHelpMessage =
    "The help cannot be shown: HTML Help (hhctrl.ocx) is missing from this system.";

}  // namespace tolvane::win32
