#include "gio_desktop_shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "browser_launcher.h"
#include "case_name.h"
#include "fake_desktop.h"
#include "launcher_fakes.h"
#include "test_files.h"

// GIO for real, on the private desktop that this program's main exports (fake_desktop.h).

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using testing::FakeDesktop;
using testing::waitForArguments;
using Arguments = std::vector<std::string>;

class GioDesktopShellTest : public ::testing::Test {
protected:
    const FakeDesktop desktop = FakeDesktop::inUse();
    const testing::TempFolder folder;
    GioDesktopShell shell;

    // A fake browser of this test's own, started through a desktop file; its arguments end up
    // in recording().
    fs::path browser(const std::vector<std::string>& extraArguments = {}) const {
        FakeDesktop::writeRecorder(recorder(), recording());
        std::vector<std::string> command{testing::utf8Of(recorder())};
        command.insert(command.end(), extraArguments.begin(), extraArguments.end());
        FakeDesktop::writeDesktopFile(folder.path() / "browser.desktop", command);
        return folder.path() / "browser.desktop";
    }
    fs::path recorder() const { return folder.path() / "browser.sh"; }
    fs::path recording() const { return folder.path() / "browser.arguments"; }
};

// --- Lookup ---------------------------------------------------------------------------------

TEST_F(GioDesktopShellTest, FindsTheDesktopFileOfTheBrowserRegisteredForHtmPages) {
    testing::writeFile(folder.path() / "page.htm", "<html></html>\r\n");

    const DesktopShell::Lookup lookup = shell.findExecutable(folder.path() / "page.htm");

    EXPECT_GT(lookup.code, 32);
    EXPECT_EQ(lookup.program, desktop.registeredBrowser().string());
}

TEST_F(GioDesktopShellTest, FindsNothingForAFileTypeWithoutHandler) {
    testing::writeFile(folder.path() / "notes.txt", "plain words\n");

    const DesktopShell::Lookup lookup = shell.findExecutable(folder.path() / "notes.txt");

    EXPECT_LE(lookup.code, 32);
    EXPECT_EQ(lookup.program, "");
}

TEST_F(GioDesktopShellTest, FindsNothingForAMissingFile) {
    EXPECT_LE(shell.findExecutable(folder.path() / "absent.htm").code, 32);
}

// --- Launch ---------------------------------------------------------------------------------

struct AddressCase {
    const char* name;
    std::string address;
};

class GioLaunchAddress : public GioDesktopShellTest,
                         public ::testing::WithParamInterface<AddressCase> {};

TEST_P(GioLaunchAddress, ReachesTheBrowserAsItsOnlyArgumentUnchanged) {
    EXPECT_GT(shell.execute(0, browser().string(), GetParam().address), 32);

    EXPECT_EQ(waitForArguments(recording()), Arguments{GetParam().address});
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, GioLaunchAddress,
    ::testing::Values(AddressCase{"home_page", "http://www.example.org/"},
                      AddressCase{"query", "http://search.example.com/?q=98.6%20F&site=1;x=2#top"},
                      AddressCase{"shell_characters",
                                  "http://example.org/a b/'c' \"d\" $HOME `id` \\ %u"},
                      AddressCase{"non_ascii",
                                  "http://example.org/temp\xC3\xA9rature/\xC2\xB0"
                                  "C"},
                      AddressCase{"no_scheme", "www.example.org"}),
    testing::CaseName());

TEST_F(GioDesktopShellTest, ExecLineArgumentsComeBeforeTheAddress) {
    const fs::path desktopFile = browser({"--new-window", "two words", "$HOME"});

    EXPECT_GT(shell.execute(0, desktopFile.string(), "http://www.example.org/"), 32);

    EXPECT_EQ(waitForArguments(recording()),
              (Arguments{"--new-window", "two words", "$HOME", "http://www.example.org/"}));
}

TEST_F(GioDesktopShellTest, StartsAProgramThatIsNotADesktopFileWithTheAddress) {
    FakeDesktop::writeRecorder(recorder(), recording());

    EXPECT_GT(shell.execute(0, recorder().string(), "http://www.example.org/"), 32);

    EXPECT_EQ(waitForArguments(recording()), Arguments{"http://www.example.org/"});
}

struct FailureCase {
    const char* name;
    // What to hand to execute as the program, made inside the test's folder.
    std::string (*program)(const fs::path& folder);
};

class GioLaunchFailure : public GioDesktopShellTest,
                         public ::testing::WithParamInterface<FailureCase> {};

TEST_P(GioLaunchFailure, IsReportedAt32OrBelow) {
    EXPECT_LE(shell.execute(0, GetParam().program(folder.path()), "http://www.example.org/"), 32);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, GioLaunchFailure,
    ::testing::Values(
        FailureCase{"exec_not_installed",
                    [](const fs::path& folder) {
                        FakeDesktop::writeDesktopFile(folder / "gone.desktop",
                                                      {testing::utf8Of(folder / "no-browser")});
                        return testing::utf8Of(folder / "gone.desktop");
                    }},
        FailureCase{"desktop_file_missing",
                    [](const fs::path& folder) { return testing::utf8Of(folder / "a.desktop"); }},
        FailureCase{"desktop_file_broken",
                    [](const fs::path& folder) {
                        testing::writeFile(folder / "broken.desktop", "not a desktop file\n");
                        return testing::utf8Of(folder / "broken.desktop");
                    }},
        FailureCase{"program_missing",
                    [](const fs::path& folder) { return testing::utf8Of(folder / "browser"); }},
        FailureCase{"empty", [](const fs::path&) { return std::string(); }}),
    testing::CaseName());

// --- The launcher on GIO ----------------------------------------------------------------------

TEST_F(GioDesktopShellTest, LauncherFindsAndOpensTheRegisteredBrowser) {
    testing::EventLog log;
    testing::RecordingMessages messages(log);
    BrowserLauncher launcher(shell, messages, folder.path(), testing::recordBusy(log));
    fs::remove(desktop.registeredBrowserRecording());

    ASSERT_TRUE(launcher.FindBrowser());
    EXPECT_EQ(launcher.BrowserPath(), desktop.registeredBrowser().string());
    EXPECT_FALSE(fs::exists(folder.path() / "temphtm.HTM"));
    launcher.OpenWebPage("http://www.example.org/?q=temperature", 0);

    EXPECT_EQ(log, (testing::EventLog{testing::kBusyOn, testing::kBusyOff}));  // no message
    EXPECT_EQ(waitForArguments(desktop.registeredBrowserRecording()),
              Arguments{"http://www.example.org/?q=temperature"});
}

TEST_F(GioDesktopShellTest, MakeDesktopShellIsGio) {
    EXPECT_NE(dynamic_cast<GioDesktopShell*>(makeDesktopShell().get()), nullptr);
}

}  // namespace
}  // namespace tolvane
