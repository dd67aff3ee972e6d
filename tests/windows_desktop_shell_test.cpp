#include "windows_desktop_shell.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <objbase.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "browser_launcher.h"
#include "case_name.h"
#include "launcher_fakes.h"
#include "test_files.h"

// The shell of the Wine prefix the tests run in (scripts/windows-tests.sh makes a private one).

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using testing::EventLog;

fs::path testProgramFolder() {
    wchar_t module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    return fs::path(std::wstring(module, length)).parent_path();
}

std::optional<std::wstring> defaultValue(HKEY root, const wchar_t* key) {
    DWORD bytes = 0;
    if (RegGetValueW(root, key, nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, key, nullptr, RRF_RT_REG_SZ, nullptr, value.data(), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return value;
}

bool setDefaultValue(HKEY root, const wchar_t* key, const std::wstring& value) {
    return RegSetKeyValueW(root, key, nullptr, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

// Lets HTM pages open with `command` (none: a file class without any command) for the life of
// the object, then puts the old association back. It goes through HKEY_CLASSES_ROOT: Windows
// merges the per-user classes (HKCU\Software\Classes) into that view, Wine 8 does not, so a
// per-user class would go unseen there; in the tests' private prefix this is harmless.
class HtmAssociation {
public:
    explicit HtmAssociation(const std::optional<std::wstring>& command)
        : m_previous(defaultValue(HKEY_CLASSES_ROOT, L".htm")) {
        m_registered = setDefaultValue(HKEY_CLASSES_ROOT, L".htm", kClass) &&
                       setDefaultValue(HKEY_CLASSES_ROOT, kClass, L"Tolvane test page") &&
                       (!command || setDefaultValue(HKEY_CLASSES_ROOT, kCommandKey, *command));
    }
    HtmAssociation(const HtmAssociation&) = delete;
    HtmAssociation& operator=(const HtmAssociation&) = delete;
    ~HtmAssociation() {
        if (m_previous) {
            setDefaultValue(HKEY_CLASSES_ROOT, L".htm", *m_previous);
        } else {
            RegDeleteKeyValueW(HKEY_CLASSES_ROOT, L".htm", nullptr);
        }
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kClass);
        RegDeleteKeyW(HKEY_CLASSES_ROOT, kClass);
    }

    bool registered() const { return m_registered; }

private:
    static constexpr const wchar_t* kClass = L"Tolvane.TestPage";
    static constexpr const wchar_t* kCommandKey = L"Tolvane.TestPage\\shell\\open\\command";

    std::optional<std::wstring> m_previous;
    bool m_registered = false;
};

class WindowsShellTest : public ::testing::Test {
protected:
    // The shell may hand a launch to COM objects; the program's GUI thread has COM set up too.
    void SetUp() override {
        m_com =
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    void TearDown() override {
        if (m_com) {
            CoUninitialize();
        }
    }

    // A copy of the fake browser in a folder whose name no ANSI code page holds whole.
    fs::path installFakeBrowser() const {
        const fs::path browserFolder = folder.path() / L"Fake Browser \u6e29\u5ea6 \u00b0C";
        fs::create_directory(browserFolder);
        fs::copy_file(testProgramFolder() / "fake_browser.exe", browserFolder / "browser.exe");
        return browserFolder / "browser.exe";
    }
    static std::wstring openCommand(const fs::path& program) {
        return L"\"" + program.wstring() + L"\" \"%1\"";
    }
    bool pageExists() const { return fs::exists(folder.path() / "temphtm.HTM"); }

    const testing::TempFolder folder;
    EventLog log;
    testing::RecordingMessages messages{log};
    WindowsDesktopShell shell;
    BrowserLauncher launcher{shell, messages, folder.path(), testing::recordBusy(log)};

private:
    bool m_com = false;
};

TEST_F(WindowsShellTest, DefaultAssociationNamesAnExistingProgram) {
    ASSERT_TRUE(launcher.FindBrowser());

    EXPECT_TRUE(fs::is_regular_file(testing::pathFromUtf8(launcher.BrowserPath())))
        << launcher.BrowserPath();
    EXPECT_FALSE(pageExists());
    EXPECT_EQ(log, EventLog{});
}

struct AddressCase {
    const char* name;
    std::string address;
};

class RegisteredBrowser : public WindowsShellTest,
                          public ::testing::WithParamInterface<AddressCase> {};

TEST_P(RegisteredBrowser, IsFoundAndReceivesExactlyTheAddress) {
    const fs::path browser = installFakeBrowser();
    const HtmAssociation association(openCommand(browser));
    ASSERT_TRUE(association.registered());

    ASSERT_TRUE(launcher.FindBrowser());
    EXPECT_TRUE(fs::equivalent(testing::pathFromUtf8(launcher.BrowserPath()), browser))
        << launcher.BrowserPath();
    EXPECT_FALSE(pageExists());
    launcher.OpenWebPage(GetParam().address, 0);

    EXPECT_EQ(log, (EventLog{testing::kBusyOn, testing::kBusyOff}));  // no message
    EXPECT_EQ(testing::waitForFile(browser.parent_path() / "arguments.txt"), GetParam().address);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, RegisteredBrowser,
    ::testing::Values(
        AddressCase{"home_page", "http://www.example.org/"},
        AddressCase{"query", "http://search.example.com/?q=98.6%20F&site=1^2|3<4>"},
        AddressCase{"quotes_and_blanks", "http://example.org/a b/\"c d\" %1"},
        AddressCase{"non_ascii", "http://example.org/temp\xC3\xA9rature/\xE6\xB8\xA9\xE5\xBA\xA6"}),
    testing::CaseName());

TEST_F(WindowsShellTest, MissingAssociationIsNotFoundAndStillDeletesThePage) {
    const HtmAssociation association(std::nullopt);
    ASSERT_TRUE(association.registered());

    EXPECT_FALSE(launcher.FindBrowser());

    EXPECT_FALSE(pageExists());
    EXPECT_EQ(log, EventLog{});
}

TEST_F(WindowsShellTest, FindsNothingForAnUnknownFileType) {
    testing::writeFile(folder.path() / "notes.tolvane-unknown", "plain words\r\n");

    EXPECT_LE(shell.findExecutable(folder.path() / "notes.tolvane-unknown").code, 32);
}

TEST_F(WindowsShellTest, BrowserRemovedAfterTheLookupSaysUrlFailed) {
    const fs::path browser = installFakeBrowser();
    const HtmAssociation association(openCommand(browser));
    ASSERT_TRUE(association.registered());
    ASSERT_TRUE(launcher.FindBrowser());
    fs::remove(browser);

    launcher.OpenWebPage("http://www.example.org/", 0);

    EXPECT_EQ(log, (EventLog{testing::kBusyOn,
                             testing::messageEvent("Web Page not Opened", "URL Failed",
                                                   MessageIcon::Exclamation),
                             testing::kBusyOff}));
}

TEST_F(WindowsShellTest, TextThatIsNotUtf8IsNotStarted) {
    const fs::path browser = installFakeBrowser();

    EXPECT_LE(shell.execute(0, testing::utf8Of(browser), "http://example.org/\xFF"), 32);
}

TEST_F(WindowsShellTest, MakeDesktopShellIsTheWindowsShell) {
    EXPECT_NE(dynamic_cast<WindowsDesktopShell*>(makeDesktopShell().get()), nullptr);
}

}  // namespace
}  // namespace tolvane
