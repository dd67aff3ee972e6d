// A stand-in browser for the launcher tests: writes the parameters it was started with, as UTF-8,
// into arguments.txt beside itself, renamed into place whole so a test never reads half of them.

#include <windows.h>

#include <filesystem>
#include <fstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The shell starts it as its name in double quotes (its folder has blanks), a blank, and then
    // the parameters.
    const std::wstring line = GetCommandLineW();
    const std::u8string parameters =
        std::filesystem::path(line.substr(line.find(L"\" ") + 2)).u8string();
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::filesystem::path folder = std::filesystem::path(module).parent_path();
    std::ofstream(folder / "arguments.part", std::ios::binary)
        << std::string(parameters.begin(), parameters.end());
    std::filesystem::rename(folder / "arguments.part", folder / "arguments.txt");
    return 0;
}
