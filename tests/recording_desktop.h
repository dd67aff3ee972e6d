#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "browser_launcher.h"

namespace tolvane::testing {

// The desktop and its message boxes in one: answers as told and logs every call in order, with
// whether the page was there to be asked about, since the launcher deletes it before a test
// could look. Whether the desktop takes it for an HTML page is for the real shell to say. By
// default the desktop knows a browser, and starts it.
struct RecordingDesktop : DesktopShell, MessageBoxes {
    std::int32_t code = 33;  // from the lookup and from the launch alike
    bool throws = false;
    std::string log;  // one line for each call

    Lookup findExecutable(const std::filesystem::path& file) override {
        log += "find " + file.string() +
               (std::filesystem::is_regular_file(file) ? "\n" : " (missing)\n");
        return throws ? throw std::runtime_error("shell failed") : Lookup{code, "/opt/web/browser"};
    }
    std::int32_t execute(std::uintptr_t owner, const std::string& program,
                         const std::string& address) override {
        log += "execute " + std::to_string(owner) + " [" + program + "] [" + address + "]\n";
        return throws ? throw std::runtime_error("shell failed") : code;
    }
    void show(const std::string& text, const std::string& title, MessageIcon icon) override {
        log += text + " | " + title + (icon == MessageIcon::Exclamation ? " | !\n" : "\n");
    }
};

}  // namespace tolvane::testing
