#include "gio_desktop_shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "browser_launcher.h"
#include "recorded_messages.h"
#include "test_files.h"

// GIO for real, on a private freedesktop desktop that main() sets up: its one application, a
// fake browser registered for HTML pages, records the arguments it was started with. Nothing of
// the user's own desktop is read or written.

namespace tolvane {
namespace {

namespace fs = std::filesystem;

// An application whose Exec line is `command` followed by the address.
void writeDesktopFile(const fs::path& file, const std::string& command) {
    std::ofstream(file) << "[Desktop Entry]\nType=Application\nName=Test Browser\nExec=" << command
                        << " %u\nMimeType=text/html;\n";
}

class GioDesktopShellTest : public ::testing::Test {
protected:
    const fs::path desktop = fs::path(std::getenv("XDG_DATA_HOME")).parent_path();
    const testing::TempFolder folder;
    GioDesktopShell shell;
    testing::RecordedMessages messages;
    BrowserLauncher launcher{shell, messages, folder.path};
};

class GioRegisteredBrowser : public GioDesktopShellTest,
                             public ::testing::WithParamInterface<std::string> {};

// The throw-away page the launcher writes is one the desktop takes for an HTML page: its name says
// so, and it is not empty, which GIO would take for a file of no type at all. The address reaches
// the browser as one argument, unchanged, after those of its Exec line: no shell reads it on the
// way.
TEST_P(GioRegisteredBrowser, IsFoundAndGetsExactlyTheAddress) {
    ASSERT_TRUE(launcher.FindBrowser());
    EXPECT_EQ(launcher.BrowserPath(),
              (desktop / "data/applications/tolvane-test-browser.desktop").string());
    fs::remove(desktop / "browser.arguments");

    launcher.OpenWebPage(GetParam(), 0);

    EXPECT_TRUE(messages.shown.empty());
    // The fake browser's arguments, each ended by a NUL.
    EXPECT_EQ(testing::waitForFile(desktop / "browser.arguments"),
              std::string("--new-window\0two words\0", 23) + GetParam() + '\0');
}

INSTANTIATE_TEST_SUITE_P(Addresses, GioRegisteredBrowser,
                         ::testing::Values("http://search.example.com/?q=98.6%20F&site=1;x=2#top",
                                           "http://a.example/b c/'d' \"e\" $HOME `id` \\ %u",
                                           "http://a.example/temp\u00e9rature/\u00b0C"));

TEST_F(GioDesktopShellTest, FindsNothingWithoutAHandler) {
    std::ofstream(folder.path / "notes.txt") << "plain words\n";

    const DesktopShell::Lookup lookup = shell.findExecutable(folder.path / "notes.txt");

    EXPECT_LE(lookup.code, 32);
    EXPECT_EQ(lookup.program, "");
}

// GIO starts programs through a helper, which would hide a missing program until too late; and a
// desktop file whose program is not installed must not be started as a program either.
TEST_F(GioDesktopShellTest, LaunchThatCannotStartIsReportedAt32OrBelow) {
    writeDesktopFile(folder.path / "gone.desktop", (folder.path / "no-browser").string());
    fs::permissions(folder.path / "gone.desktop", fs::perms::owner_all);  // as many are

    for (const fs::path& program :
         {folder.path / "gone.desktop", folder.path / "no-browser", fs::path()}) {
        EXPECT_LE(shell.execute(0, program.string(), "http://www.example.org/"), 32) << program;
    }
}

}  // namespace
}  // namespace tolvane

// GIO settles on its folders when first used: the desktop is in place before any test runs.
int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    ::testing::InitGoogleTest(&argc, argv);
    const tolvane::testing::TempFolder root;
    const fs::path& desktop = root.path;
    for (const char* folder : {"data/applications", "config", "system"}) {
        fs::create_directories(desktop / folder);
    }
    // The system's MIME database tells an HTM page from other files; it names no handlers.
    fs::create_directory_symlink("/usr/share/mime", desktop / "system/mime");
    setenv("XDG_DATA_HOME", (desktop / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (desktop / "config").c_str(), 1);
    for (const char* name : {"XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "GIO_MODULE_DIR"}) {
        setenv(name, (desktop / "system").c_str(), 1);
    }
    setenv("GIO_USE_VFS", "local", 1);
    // Renamed into place whole, so that a test never reads half of the arguments.
    std::ofstream(desktop / "browser")
        << "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0.arguments\"\n";
    fs::permissions(desktop / "browser", fs::perms::owner_all);
    tolvane::writeDesktopFile(
        desktop / "data/applications/tolvane-test-browser.desktop",
        "\"" + (desktop / "browser").string() + "\" --new-window \"two words\"");
    std::ofstream(desktop / "config/mimeapps.list")
        << "[Default Applications]\ntext/html=tolvane-test-browser.desktop\n";
    return RUN_ALL_TESTS();
}
