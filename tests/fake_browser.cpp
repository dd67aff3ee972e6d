// A stand-in browser for the launcher tests: writes the parameter string it was started with,
// as UTF-8, into arguments.txt beside itself and ends.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// The parameters follow the program's name (in double quotes, or up to the first blank) and the
// blanks after it.
std::wstring_view parametersOf(std::wstring_view commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        end = commandLine.find(L'"', 1);
        end = end == std::wstring_view::npos ? commandLine.size() : end + 1;
    } else {
        end = std::min(commandLine.find_first_of(L" \t"), commandLine.size());
    }
    const std::size_t start = commandLine.find_first_not_of(L" \t", end);
    return start == std::wstring_view::npos ? std::wstring_view() : commandLine.substr(start);
}

std::string utf8Of(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module, length);
    folder.erase(folder.find_last_of(L'\\') + 1);
    const std::wstring part = folder + L"arguments.txt.part";
    const std::wstring recording = folder + L"arguments.txt";

    const std::string parameters = utf8Of(parametersOf(GetCommandLineW()));
    const HANDLE file =
        CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, parameters.data(), static_cast<DWORD>(parameters.size()),
                              &written, nullptr) != 0 &&
                    written == parameters.size();
    CloseHandle(file);
    // Renamed into place whole, so the test never reads half a recording.
    return ok && MoveFileExW(part.c_str(), recording.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
