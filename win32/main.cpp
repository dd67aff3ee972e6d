#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>
#include <string>

#include "application_folder.h"
#include "browser_launcher.h"
#include "program.h"

namespace {

std::filesystem::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

std::filesystem::path knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) {
        folder = path;
    }
    CoTaskMemFree(path);
    return folder;
}

// The program's own folder when files can be made there (a copied folder), else the per-user
// one. An installed program, in Program Files, never writes beside itself, even where the
// system would let it. Its help file and pictures lie beside it.
tolvane::ApplicationFolder applicationFolderOfThisProgram() {
    const std::filesystem::path program = programFolder();
    return tolvane::ApplicationFolder::resolve(
        program, knownFolder(FOLDERID_LocalAppData) / L"Tolvane", program,
        knownFolder(FOLDERID_ProgramFiles) / L"Tolvane");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    const tolvane::ApplicationFolder folder = applicationFolderOfThisProgram();
    folder.createWithPictures();
    tolvane::win32::Program program(folder, tolvane::makeDesktopShell());
    program.Main(showCommand);
    return program.run();
}
