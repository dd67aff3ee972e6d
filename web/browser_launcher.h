#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "message_boxes.h"

namespace tolvane {

// The desktop's file associations and program start, shaped like the Windows shell's: every call
// answers with a code, and a code above 32 means success.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    struct Lookup {
        std::int32_t code = 0;  // > 32: found
        std::string program;    // UTF-8, no padding; whatever the shell reported, also on failure
    };

    // The program registered to open `file`, which must exist.
    virtual Lookup findExecutable(const std::filesystem::path& file) = 0;

    // Starts `program` with `address` as its only parameter; > 32: started. Returns without
    // waiting for the program.
    virtual std::int32_t execute(std::uintptr_t ownerWindow, const std::string& program,
                                 const std::string& address) = 0;
};

// Whether a page may hand an address on to the user's own browser: http and https addresses
// with a host, nothing else (no file:, javascript:, data: or relative addresses).
bool isExternalWebAddress(std::string_view address);

// The shell of the platform the program was built for: GIO on Linux, shell32 on Windows.
std::unique_ptr<DesktopShell> makeDesktopShell();

// Opens a web address in the user's own browser: FindBrowser asks the desktop which program
// opens an HTM page, OpenWebPage starts that program with the address. Callers run FindBrowser
// first and, depending on its answer, OpenWebPage or BrowserNotFound.
class BrowserLauncher {
public:
    // `showBusy` puts the busy pointer up (true) and takes it down (false).
    BrowserLauncher(DesktopShell& shell, MessageBoxes& messages,
                    std::filesystem::path applicationFolder,
                    std::function<void(bool busy)> showBusy = {});

    BrowserLauncher(const BrowserLauncher&) = delete;
    BrowserLauncher& operator=(const BrowserLauncher&) = delete;

    // True when the desktop names a program for HTM pages; BrowserPath() then holds it. Shows no
    // message. The throw-away page it writes for the question is gone again when it returns, also
    // when the shell fails or throws. A page that cannot be written counts as no browser found.
    bool FindBrowser();

    // Starts the program the last FindBrowser found, with `address`, unchanged, as its only
    // parameter; says so when that fails.
    void OpenWebPage(const std::string& address, std::uintptr_t ownerWindow);

    void BrowserNotFound();

    // FindBrowser, then OpenWebPage or BrowserNotFound, as every caller does.
    void openInUsersBrowser(const std::string& address, std::uintptr_t ownerWindow);

    // The last lookup's answer; empty before the first.
    const std::string& BrowserPath() const { return m_browserPath; }

private:
    DesktopShell& m_shell;
    MessageBoxes& m_messages;
    const std::filesystem::path m_tempPagePath;
    const std::function<void(bool busy)> m_showBusy;
    std::string m_browserPath;
};

}  // namespace tolvane
