#include "browser_launcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "case_name.h"
#include "launcher_fakes.h"
#include "test_files.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using testing::EventLog;
using testing::kBusyOff;
using testing::kBusyOn;
using testing::messageEvent;

// The throw-away page, byte for byte: the text in double quotes, then CR LF.
constexpr std::string_view kPageBytes = "\"<HTML> <\\HTML>\"\r\n";
static_assert(kPageBytes.size() == 18);
const std::string kPage(kPageBytes);

const std::string kNotFound = messageEvent("Could not find associated Browser", "Browser Not Found",
                                           MessageIcon::Exclamation);
const std::string kNotOpened =
    messageEvent("Web Page not Opened", "URL Failed", MessageIcon::Exclamation);

// A shell that answers as told and logs each call. During a lookup it also notes what the page
// held, since the launcher deletes the page before the test could look.
class RecordingShell : public DesktopShell {
public:
    explicit RecordingShell(EventLog& log) : m_log(log) {}

    Lookup lookup{33, "/usr/bin/browser"};
    std::int32_t launchCode = 33;
    std::function<void()> duringLookup;
    std::vector<std::optional<std::string>> pagesSeen;

    Lookup findExecutable(const fs::path& file) override {
        m_log.push_back("find " + testing::utf8Of(file));
        std::error_code error;
        pagesSeen.push_back(fs::is_regular_file(file, error)
                                ? std::optional<std::string>(testing::readFile(file))
                                : std::nullopt);
        if (duringLookup) {
            duringLookup();
        }
        return lookup;
    }

    std::int32_t execute(std::uintptr_t ownerWindow, const std::string& program,
                         const std::string& address) override {
        m_log.push_back("execute " + std::to_string(ownerWindow) + " [" + program + "] [" +
                        address + "]");
        return launchCode;
    }

private:
    EventLog& m_log;
};

class BrowserLauncherTest : public ::testing::Test {
protected:
    testing::TempFolder folder;
    EventLog log;
    RecordingShell shell{log};
    testing::RecordingMessages messages{log};
    BrowserLauncher launcher{shell, messages, folder.path(), testing::recordBusy(log)};

    fs::path page() const { return folder.path() / "temphtm.HTM"; }
    std::string findEvent() const { return "find " + testing::utf8Of(page()); }
    bool pageExists() const {
        std::error_code error;
        return fs::exists(fs::symlink_status(page(), error));
    }
};

// --- FindBrowser ----------------------------------------------------------------------------

struct LookupCase {
    const char* name;
    std::int32_t code;
    bool found;
};

class FindBrowserResult : public BrowserLauncherTest,
                          public ::testing::WithParamInterface<LookupCase> {};

TEST_P(FindBrowserResult, IsFoundAbove32AndNeverShowsAMessage) {
    shell.lookup = {GetParam().code, "/opt/web/browser"};

    EXPECT_EQ(launcher.FindBrowser(), GetParam().found);

    EXPECT_EQ(log, EventLog{findEvent()});  // one lookup, no message, no busy pointer
    ASSERT_EQ(shell.pagesSeen.size(), 1u);
    EXPECT_EQ(shell.pagesSeen[0], kPage);
    EXPECT_FALSE(pageExists());
    // Kept as the shell reported it, also after a failure.
    EXPECT_EQ(launcher.BrowserPath(), "/opt/web/browser");
}

INSTANTIATE_TEST_SUITE_P(Codes, FindBrowserResult,
                         ::testing::Values(LookupCase{"zero", 0, false},
                                           LookupCase{"file_not_found", 2, false},
                                           LookupCase{"no_association", 31, false},
                                           LookupCase{"thirty_two", 32, false},
                                           LookupCase{"thirty_three", 33, true},
                                           LookupCase{"handle_value", 0x400000, true}),
                         testing::CaseName());

TEST_F(BrowserLauncherTest, OverwritesAnExistingPageAndDeletesIt) {
    testing::writeFile(page(), std::string(1000, 'x'));

    ASSERT_TRUE(launcher.FindBrowser());

    EXPECT_EQ(shell.pagesSeen, (std::vector<std::optional<std::string>>{kPage}));
    EXPECT_FALSE(pageExists());
}

TEST_F(BrowserLauncherTest, EachCallLooksUpAgainAndWritesAndDeletesThePageAgain) {
    ASSERT_TRUE(launcher.FindBrowser());
    EXPECT_FALSE(pageExists());
    shell.lookup = {2, ""};
    EXPECT_FALSE(launcher.FindBrowser());
    EXPECT_FALSE(pageExists());

    EXPECT_EQ(log, (EventLog{findEvent(), findEvent()}));
    EXPECT_EQ(shell.pagesSeen, (std::vector<std::optional<std::string>>{kPage, kPage}));
    EXPECT_EQ(launcher.BrowserPath(), "");
}

TEST_F(BrowserLauncherTest, DeletesThePageWhenTheShellThrows) {
    shell.duringLookup = [] { throw std::runtime_error("shell failed"); };

    EXPECT_THROW(launcher.FindBrowser(), std::runtime_error);

    EXPECT_EQ(shell.pagesSeen, (std::vector<std::optional<std::string>>{kPage}));
    EXPECT_FALSE(pageExists());
}

TEST_F(BrowserLauncherTest, APageThatCannotBeWrittenMeansNotFoundWithoutLookup) {
    const fs::path gone = folder.path() / "gone";
    fs::create_directory(gone);
    BrowserLauncher homeless(shell, messages, gone, testing::recordBusy(log));
    ASSERT_TRUE(homeless.FindBrowser());
    fs::remove(gone);
    log.clear();

    EXPECT_FALSE(homeless.FindBrowser());

    EXPECT_EQ(log, EventLog{});             // no lookup, no message
    EXPECT_EQ(homeless.BrowserPath(), "");  // the earlier answer does not survive
}

TEST_F(BrowserLauncherTest, BrowserPathIsEmptyBeforeTheFirstLookup) {
    EXPECT_EQ(launcher.BrowserPath(), "");
}

#ifndef _WIN32
// A link planted at the page's name must not steer the page's bytes into another file.
TEST_F(BrowserLauncherTest, NeverWritesThroughALinkAtThePagesName) {
    const fs::path victim = folder.path() / "victim.txt";
    testing::writeFile(victim, "keep me");
    fs::create_symlink(victim, page());

    ASSERT_TRUE(launcher.FindBrowser());

    EXPECT_EQ(shell.pagesSeen, (std::vector<std::optional<std::string>>{kPage}));
    EXPECT_EQ(testing::readFile(victim), "keep me");
    EXPECT_FALSE(pageExists());
}
#endif

// --- OpenWebPage and BrowserNotFound --------------------------------------------------------

struct LaunchCase {
    const char* name;
    std::int32_t code;
    bool fails;
};

class OpenWebPageResult : public BrowserLauncherTest,
                          public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(OpenWebPageResult, SaysUrlFailedAt32OrBelowWhileTheBusyPointerIsUp) {
    shell.lookup = {42, "C:\\Browser\\browser.exe"};
    ASSERT_TRUE(launcher.FindBrowser());
    log.clear();
    shell.launchCode = GetParam().code;

    launcher.OpenWebPage("http://www.example.org/", 4711);

    EventLog expected{kBusyOn, "execute 4711 [C:\\Browser\\browser.exe] [http://www.example.org/]"};
    if (GetParam().fails) {
        expected.push_back(kNotOpened);
    }
    expected.push_back(kBusyOff);
    EXPECT_EQ(log, expected);
}

INSTANTIATE_TEST_SUITE_P(Codes, OpenWebPageResult,
                         ::testing::Values(LaunchCase{"zero", 0, true},
                                           LaunchCase{"file_not_found", 2, true},
                                           LaunchCase{"thirty_two", 32, true},
                                           LaunchCase{"thirty_three", 33, false},
                                           LaunchCase{"handle_value", 0x400000, false}),
                         testing::CaseName());

struct AddressCase {
    const char* name;
    std::string address;
};

class OpenWebPageAddress : public BrowserLauncherTest,
                           public ::testing::WithParamInterface<AddressCase> {};

TEST_P(OpenWebPageAddress, IsHandedToTheShellUnchanged) {
    ASSERT_TRUE(launcher.FindBrowser());
    log.clear();

    launcher.OpenWebPage(GetParam().address, 0);

    EXPECT_EQ(log, (EventLog{kBusyOn, "execute 0 [/usr/bin/browser] [" + GetParam().address + "]",
                             kBusyOff}));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, OpenWebPageAddress,
    ::testing::Values(AddressCase{"home_page", "http://www.example.org/"},
                      AddressCase{"query", "http://search.example.com/?q=98.6%20F&site=1;x=\"2\""},
                      AddressCase{"blanks_kept", "  a b  "},
                      AddressCase{"not_an_address", "www.example.org"},
                      AddressCase{"non_ascii",
                                  "http://example.org/temp\xC3\xA9rature/\xC2\xB0"
                                  "C"},
                      AddressCase{"empty", ""}),
    testing::CaseName());

TEST_F(BrowserLauncherTest, OpensWhatTheMostRecentLookupFound) {
    ASSERT_TRUE(launcher.FindBrowser());
    shell.lookup = {33, "/usr/bin/other-browser"};
    ASSERT_TRUE(launcher.FindBrowser());
    log.clear();

    launcher.OpenWebPage("http://www.example.org/", 0);

    EXPECT_EQ(log,
              (EventLog{kBusyOn, "execute 0 [/usr/bin/other-browser] [http://www.example.org/]",
                        kBusyOff}));
}

TEST_F(BrowserLauncherTest, WithoutALookupStartsTheEmptyPathAndReportsItsFailure) {
    shell.launchCode = 2;

    launcher.OpenWebPage("http://www.example.org/", 0);

    EXPECT_EQ(log,
              (EventLog{kBusyOn, "execute 0 [] [http://www.example.org/]", kNotOpened, kBusyOff}));
}

TEST_F(BrowserLauncherTest, WorksWithoutABusyPointer) {
    BrowserLauncher quiet(shell, messages, folder.path());
    ASSERT_TRUE(quiet.FindBrowser());
    shell.launchCode = 32;

    quiet.OpenWebPage("http://www.example.org/", 0);

    EXPECT_EQ(log, (EventLog{findEvent(), "execute 0 [/usr/bin/browser] [http://www.example.org/]",
                             kNotOpened}));
}

TEST_F(BrowserLauncherTest, BusyPointerComesDownWhenTheShellThrows) {
    struct ThrowingShell : RecordingShell {
        using RecordingShell::RecordingShell;
        std::int32_t execute(std::uintptr_t, const std::string&, const std::string&) override {
            throw std::runtime_error("shell failed");
        }
    } throwing(log);
    BrowserLauncher unlucky(throwing, messages, folder.path(), testing::recordBusy(log));

    EXPECT_THROW(unlucky.OpenWebPage("http://www.example.org/", 0), std::runtime_error);

    EXPECT_EQ(log, (EventLog{kBusyOn, kBusyOff}));
}

TEST_F(BrowserLauncherTest, BrowserNotFoundShowsItsMessageOnly) {
    launcher.BrowserNotFound();

    EXPECT_EQ(log, EventLog{kNotFound});
}

}  // namespace
}  // namespace tolvane
