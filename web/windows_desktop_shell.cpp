#include "windows_desktop_shell.h"

#include "wide_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Needs the types that windows.h declares.
#include <shellapi.h>

#include <optional>
#include <string_view>

namespace tolvane {
namespace {

// A text that is not valid UTF-8 (or a path that is not valid UTF-16) is not guessed at.
constexpr std::int32_t kNotStarted = 0;

// The shell's result is a pseudo instance handle that carries a code.
std::int32_t codeOf(HINSTANCE result) {
    return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(result));
}

}  // namespace

DesktopShell::Lookup WindowsDesktopShell::findExecutable(const std::filesystem::path& file) {
    wchar_t buffer[MAX_PATH] = {};
    const std::int32_t code = codeOf(FindExecutableW(file.c_str(), L"", buffer));
    // Only the text before the terminating zero is the path.
    const std::wstring_view filled(buffer, MAX_PATH);
    const std::optional<std::string> program = toUtf8(filled.substr(0, filled.find(L'\0')));
    if (!program) {
        return {kNotStarted, {}};
    }
    return {code, *program};
}

std::int32_t WindowsDesktopShell::execute(std::uintptr_t ownerWindow, const std::string& program,
                                          const std::string& address) {
    const std::optional<std::wstring> wideProgram = toUtf16(program);
    const std::optional<std::wstring> wideAddress = toUtf16(address);
    if (!wideProgram || !wideAddress) {
        return kNotStarted;
    }
    return codeOf(ShellExecuteW(reinterpret_cast<HWND>(ownerWindow), L"open", wideProgram->c_str(),
                                wideAddress->c_str(), L"", SW_SHOWNORMAL));
}

std::unique_ptr<DesktopShell> makeDesktopShell() {
    return std::make_unique<WindowsDesktopShell>();
}

}  // namespace tolvane
