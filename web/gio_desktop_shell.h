#pragma once

#include "browser_launcher.h"

namespace tolvane {

// The freedesktop file associations, through GIO: the program that opens a file is the
// application GIO chooses as its default handler, named by its desktop file, and it is started
// the way its desktop file's Exec line says, with the address as its one URI.
class GioDesktopShell final : public DesktopShell {
public:
    // `program` is the handler's desktop file or, for a handler without one, its executable.
    Lookup findExecutable(const std::filesystem::path& file) override;
    // `program` as findExecutable reports it. The owner window plays no part here.
    std::int32_t execute(std::uintptr_t ownerWindow, const std::string& program,
                         const std::string& address) override;
};

}  // namespace tolvane
