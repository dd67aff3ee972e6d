#pragma once

// A Windows program looked at from another process, as a user or a screen reader sees it.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tolvane_version.h"
#include "wide_text.h"

namespace tolvane::testing {

// Far beyond a start under a cold Wine; only a program that hangs waits this long.
inline constexpr DWORD kPatience = 60'000;

inline std::string textOf(HWND window) {
    std::wstring text(512, L'\0');
    const auto length =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return toUtf8Shown(text);
}

inline std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

inline BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

inline std::vector<HWND> descendantsOf(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A program started from its own folder, ended at the latest with this object.
class RunningProgram {
public:
    RunningProgram() = default;
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    ~RunningProgram() {
        if (m_process.hProcess != nullptr) {
            if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(m_process.hProcess, 99);
                WaitForSingleObject(m_process.hProcess, kPatience);
            }
            CloseHandle(m_process.hThread);
            CloseHandle(m_process.hProcess);
        }
    }

    bool start(const std::filesystem::path& program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + program.wstring() + L"\"";
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            program.parent_path().c_str(), &startup, &m_process)) {
            return false;
        }
        WaitForInputIdle(m_process.hProcess, kPatience);
        return true;
    }

    // A visible top-level window of the program for which `wanted` holds, looked for until the
    // program has shown one or ended.
    template <typename Wanted>
    HWND waitForWindow(Wanted wanted) const {
        const ULONGLONG deadline = GetTickCount64() + kPatience;
        while (GetTickCount64() < deadline) {
            std::vector<HWND> windows;
            EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
            for (const HWND window : windows) {
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process == m_process.dwProcessId && IsWindowVisible(window) && wanted(window)) {
                    return window;
                }
            }
            if (WaitForSingleObject(m_process.hProcess, 20) != WAIT_TIMEOUT) {
                return nullptr;  // it ended
            }
        }
        return nullptr;
    }

    // The window with the program's title that is not one of its message boxes.
    HWND waitForMainWindow() const {
        return waitForWindow([](HWND window) {
            return textOf(window) == version::kProgramTitle && classOf(window) != L"#32770";
        });
    }

    // Waits for the end; STILL_ACTIVE when it does not come.
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(m_process.hProcess, kPatience) == WAIT_OBJECT_0) {
            GetExitCodeProcess(m_process.hProcess, &code);
        }
        return code;
    }

private:
    PROCESS_INFORMATION m_process{};
};

}  // namespace tolvane::testing
