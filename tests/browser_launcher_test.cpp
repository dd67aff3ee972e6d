#include "browser_launcher.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "case_name.h"
#include "recording_desktop.h"
#include "test_files.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;

class BrowserLauncherTest : public ::testing::Test {
protected:
    const testing::TempFolder folder;
    const fs::path page = folder.path / "temphtm.HTM";
    const std::string lookedUp = "find " + page.string() + "\n";
    testing::RecordingDesktop desktop;
    BrowserLauncher launcher{desktop, desktop, folder.path,
                             [this](bool on) { desktop.log += on ? "busy on\n" : "busy off\n"; }};
};

struct CodeCase {
    const char* name;
    std::int32_t code;
    bool succeeds;
    std::string address;
};

class ShellCode : public BrowserLauncherTest, public ::testing::WithParamInterface<CodeCase> {};

// Above 32 is success for both calls. The lookup shows nothing and leaves no page behind; its
// answer, also a failed one, is what the launch starts, with the address as it is, saying when
// that failed while the busy pointer is up. The two steps together report a browser that was not
// found, and start nothing.
TEST_P(ShellCode, DecidesFoundAndOpened) {
    const auto& [name, code, succeeds, address] = GetParam();
    desktop.code = code;
    const std::string started = "busy on\nexecute 4711 [/opt/web/browser] [" + address + "]\n";

    EXPECT_EQ(launcher.FindBrowser(), succeeds);
    EXPECT_FALSE(fs::exists(fs::symlink_status(page)));
    launcher.OpenWebPage(address, 4711);
    EXPECT_EQ(desktop.log, lookedUp + started +
                               (succeeds ? "" : "Web Page not Opened | URL Failed | !\n") +
                               "busy off\n");

    desktop.log.clear();
    launcher.openInUsersBrowser(address, 4711);
    EXPECT_EQ(
        desktop.log,
        lookedUp + (succeeds ? started + "busy off\n"
                             : "Could not find associated Browser | Browser Not Found | !\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ShellCode,
    ::testing::Values(CodeCase{"zero", 0, false, ""},
                      CodeCase{"thirty_two", 32, false, "www.example.org"},
                      CodeCase{"thirty_three", 33, true, "  http://a.example/?q=98.6%20F&x=\"2\" "},
                      CodeCase{"handle_value", 0x400000, true, "http://a.example/\u00b0C\u6e29"}),
    testing::CaseName());

struct AddressCase {
    const char* name;
    const char* address;
    bool external;
};

class WebAddress : public ::testing::TestWithParam<AddressCase> {};

TEST_P(WebAddress, OnlyHttpAndHttpsWithAHostGoToTheUsersBrowser) {
    EXPECT_EQ(isExternalWebAddress(GetParam().address), GetParam().external);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, WebAddress,
    ::testing::Values(AddressCase{"http", "http://search.example.com/a?terms=x", true},
                      AddressCase{"https_in_capitals", "HTTPS://www.example.org/", true},
                      AddressCase{"port_and_user", "http://me@www.example.org:8080/", true},
                      AddressCase{"ipv6", "http://[2001:db8::1]/", true},
                      AddressCase{"http_without_host", "http:///etc/passwd", false},
                      AddressCase{"only_a_port", "http://:80/", false},
                      AddressCase{"single_slash", "http:/www.example.org/", false},
                      AddressCase{"javascript", "javascript:alert(1)", false},
                      AddressCase{"file", "file:///C:/AboutHtm.htm", false},
                      AddressCase{"relative", "AboutHtm.htm", false},
                      AddressCase{"blank_inside", "http://www.example.org/a b", false},
                      AddressCase{"empty", "", false}),
    testing::CaseName());

TEST_F(BrowserLauncherTest, ShellThatThrowsLeavesNeitherPageNorBusyPointer) {
    desktop.throws = true;

    EXPECT_THROW(launcher.FindBrowser(), std::runtime_error);
    EXPECT_FALSE(fs::exists(fs::symlink_status(page)));
    EXPECT_THROW(launcher.OpenWebPage("", 0), std::runtime_error);

    EXPECT_EQ(desktop.log, lookedUp + "busy on\nexecute 0 [] []\nbusy off\n");
}

#ifndef _WIN32
// A link planted at the page's name must not steer the page's bytes into another file.
TEST_F(BrowserLauncherTest, ReplacesALinkAtThePagesNameWithoutWritingThroughIt) {
    const fs::path victim = folder.path / "victim.txt";
    fs::create_symlink(victim, page);

    EXPECT_TRUE(launcher.FindBrowser());

    EXPECT_EQ(desktop.log, lookedUp);
    EXPECT_FALSE(fs::exists(victim));
    EXPECT_FALSE(fs::exists(fs::symlink_status(page)));
}
#endif

TEST_F(BrowserLauncherTest, PageThatCannotBeWrittenMeansNotFoundWithoutALookup) {
    ASSERT_TRUE(launcher.FindBrowser());
    desktop.log.clear();
    fs::remove_all(folder.path);

    EXPECT_FALSE(launcher.FindBrowser());
    EXPECT_EQ(launcher.BrowserPath(), "");  // the earlier answer does not survive
    launcher.BrowserNotFound();

    EXPECT_EQ(desktop.log, "Could not find associated Browser | Browser Not Found | !\n");
}

}  // namespace
}  // namespace tolvane
