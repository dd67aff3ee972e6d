#pragma once

#include "browser_launcher.h"

namespace tolvane {

// The Windows shell's own file associations and program start (shell32). Texts cross over as
// UTF-16, so paths and addresses outside the ANSI code page survive.
class WindowsDesktopShell final : public DesktopShell {
public:
    Lookup findExecutable(const std::filesystem::path& file) override;
    // `ownerWindow` is the HWND that owns any window the shell shows.
    std::int32_t execute(std::uintptr_t ownerWindow, const std::string& program,
                         const std::string& address) override;
};

}  // namespace tolvane
