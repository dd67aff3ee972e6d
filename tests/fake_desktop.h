#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "test_files.h"

namespace tolvane::testing {

// A private freedesktop desktop for GIO: the XDG folders point into a folder of the test's own,
// whose one application is a fake browser, registered as the default for HTML pages, that
// records the arguments it was started with. Nothing of the user's own desktop is read or
// written. GIO reads these variables once, when first used, so the desktop is exported before any
// test runs and stays for the whole run.
class FakeDesktop {
public:
    // Builds the desktop in the empty folder `root` and exports it to this process.
    static FakeDesktop create(const std::filesystem::path& root) {
        FakeDesktop desktop(root);
        namespace fs = std::filesystem;
        for (const char* folder : {"data/applications", "config", "system-data", "system-config",
                                   "gio-modules", "bin"}) {
            fs::create_directories(root / folder);
        }
        writeRecorder(root / "bin/browser", desktop.registeredBrowserRecording());
        writeDesktopFile(desktop.registeredBrowser(), {utf8Of(root / "bin/browser")});
        writeFile(root / "config/mimeapps.list",
                  "[Default Applications]\ntext/html=tolvane-test-browser.desktop\n");
        // The shared MIME database tells an HTM page from other files; it holds no handlers.
        fs::create_directory_symlink(systemMimeDatabase(), root / "system-data/mime");

        setVariable("XDG_DATA_HOME", root / "data");
        setVariable("XDG_CONFIG_HOME", root / "config");
        setVariable("XDG_DATA_DIRS", root / "system-data");
        setVariable("XDG_CONFIG_DIRS", root / "system-config");
        setVariable("GIO_MODULE_DIR", root / "gio-modules");
        setVariable("GIO_USE_VFS", "local");
        setVariable(kRootVariable, root);
        return desktop;
    }

    // The desktop that create() exported.
    static FakeDesktop inUse() {
        const char* root = std::getenv(kRootVariable);
        if (root == nullptr) {
            throw std::logic_error("no fake desktop exported");
        }
        return FakeDesktop(root);
    }

    std::filesystem::path registeredBrowser() const {
        return m_root / "data/applications/tolvane-test-browser.desktop";
    }
    std::filesystem::path registeredBrowserRecording() const {
        return m_root / "registered-browser.arguments";
    }

    // A program that writes the arguments it was started with into `recording`.
    static void writeRecorder(const std::filesystem::path& script,
                              const std::filesystem::path& recording) {
        writeFile(script,
                  "#!/bin/sh\n"
                  "printf '%s\\0' \"$@\" > " +
                      shellQuoted(utf8Of(recording) + ".part") + " && mv " +
                      shellQuoted(utf8Of(recording) + ".part") + " " +
                      shellQuoted(utf8Of(recording)) + "\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::group_read |
                                                 std::filesystem::perms::group_exec);
    }

    // An application whose Exec line is `command` followed by the URI field code.
    static void writeDesktopFile(const std::filesystem::path& file,
                                 const std::vector<std::string>& command) {
        std::string exec;
        for (const std::string& argument : command) {
            exec += execQuoted(argument) + " ";
        }
        writeFile(file, "[Desktop Entry]\nType=Application\nName=Tolvane Test Browser\nExec=" +
                            exec + "%u\nMimeType=text/html;\nNoDisplay=true\n");
    }

private:
    static constexpr const char* kRootVariable = "TOLVANE_FAKE_DESKTOP";

    explicit FakeDesktop(std::filesystem::path root) : m_root(std::move(root)) {}

    static void setVariable(const char* name, const std::filesystem::path& value) {
        if (setenv(name, value.c_str(), 1) != 0) {
            throw std::runtime_error(std::string("cannot set ") + name);
        }
    }

    static std::filesystem::path systemMimeDatabase() {
        const char* dirs = std::getenv("XDG_DATA_DIRS");
        std::istringstream candidates(
            dirs != nullptr && *dirs != '\0' ? dirs : "/usr/local/share:/usr/share");
        for (std::string dir; std::getline(candidates, dir, ':');) {
            if (std::filesystem::exists(std::filesystem::path(dir) / "mime/mime.cache")) {
                return std::filesystem::path(dir) / "mime";
            }
        }
        throw std::runtime_error("no shared MIME database (package shared-mime-info)");
    }

    static std::string shellQuoted(std::string_view text) {
        std::string quoted = "'";
        for (char c : text) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return quoted + "'";
    }

    // An argument of an Exec line: in double quotes with ", `, $ and \ escaped, and then every
    // backslash doubled once more, since the desktop file's string syntax reads escapes too.
    static std::string execQuoted(std::string_view argument) {
        std::string quoted = "\"";
        for (char c : argument) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                quoted += "\\\\";
            }
            quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
        }
        return quoted + "\"";
    }

    std::filesystem::path m_root;
};

// The arguments a recording program was started with, once it has written them.
inline std::optional<std::vector<std::string>> waitForArguments(
    const std::filesystem::path& recording) {
    const std::optional<std::string> bytes = waitForFile(recording);
    if (!bytes) {
        return std::nullopt;
    }
    std::vector<std::string> arguments;
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = bytes->find('\0', start)) != std::string::npos;
         start = end + 1) {
        arguments.push_back(bytes->substr(start, end - start));
    }
    return arguments;
}

}  // namespace tolvane::testing
