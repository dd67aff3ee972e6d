// Starts an installed tolvane.exe and checks that it keeps its files in the user's own folder,
// %LOCALAPPDATA%\Tolvane, and writes nothing beside itself; then ends it with its close box.
// The installer test runs it between installing the package and removing it.
// Usage: installed_program_check PATH-OF-THE-INSTALLED-TOLVANE.EXE
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "search_page.h"
#include "win32_outside.h"

namespace {

namespace fs = std::filesystem;

int failed(const std::string& what) {
    std::printf("installed_program_check: FAILED: %s\n", what.c_str());
    return 1;
}

std::set<fs::path> namesIn(const fs::path& folder) {
    std::set<fs::path> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename());
    }
    return names;
}

fs::path localAppData() {
    PWSTR path = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &path))) {
        folder = path;
    }
    CoTaskMemFree(path);
    return folder;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc != 2) {
        return failed("usage: installed_program_check PATH-OF-TOLVANE.EXE");
    }
    const fs::path program = argv[1];
    const fs::path installed = program.parent_path();
    const fs::path perUser = localAppData() / L"Tolvane";
    const fs::path page = perUser / tolvane::kSearchPageFileName;
    const std::set<fs::path> installedBefore = namesIn(installed);

    tolvane::testing::RunningProgram running;
    if (!running.start(program)) {
        return failed("could not start " + tolvane::toUtf8Shown(program.wstring()));
    }
    const HWND main = running.waitForMainWindow();
    if (main == nullptr) {
        return failed("the installed program showed no main window");
    }
    if (!fs::exists(page)) {
        return failed("no search page in " + tolvane::toUtf8Shown(perUser.wstring()));
    }
    for (const char* picture : tolvane::searchPagePictureNames()) {
        if (!fs::exists(perUser / picture)) {
            return failed(std::string("the picture ") + picture +
                          " was not copied beside the page");
        }
    }
    if (namesIn(installed) != installedBefore) {
        return failed("the program wrote into its installation folder");
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    if (const DWORD code = running.exitCode(); code != 0) {
        return failed("the program ended with " + std::to_string(code));
    }
    if (fs::exists(page)) {
        return failed("the search page is still there after the program ended");
    }
    std::printf("installed_program_check: kept its files in %s, nothing beside itself\n",
                tolvane::toUtf8Shown(perUser.wstring()).c_str());
    return 0;
}
