// The Windows side, under Wine: the shell of the private prefix that scripts/windows-tests.sh
// makes, and the version resource that resources/tolvane.rc.in puts into the program, read back
// from this test program, which is built with the same file.

#include "windows_desktop_shell.h"

#include <gtest/gtest.h>

#include "test_files.h"
#include "tolvane_version.h"

#include <array>
#include <iomanip>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace tolvane {
namespace {

namespace fs = std::filesystem;

fs::path testProgram() {
    std::wstring program(MAX_PATH, L'\0');
    return program.substr(0, GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
}

// Points HTM pages at the file class `pageClass` while it lives. Through HKEY_CLASSES_ROOT, as
// Wine 8 does not merge the per-user classes into that view.
struct HtmClass {
    explicit HtmClass(const wchar_t* pageClass) {
        RegQueryValueW(HKEY_CLASSES_ROOT, L".htm", previous, &size);
        RegSetValueW(HKEY_CLASSES_ROOT, L".htm", REG_SZ, pageClass, 0);
    }
    ~HtmClass() { RegSetValueW(HKEY_CLASSES_ROOT, L".htm", REG_SZ, previous, 0); }
    wchar_t previous[MAX_PATH] = {};
    LONG size = sizeof previous;
};

// With a browser that starts, the launcher has nothing to say.
class WindowsShell : public ::testing::Test, public MessageBoxes {
protected:
    ~WindowsShell() override { RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Tolvane.TestPage"); }
    void show(const std::string& t, const std::string&, MessageIcon) override {
        ADD_FAILURE() << t;
    }
    const testing::TempFolder folder;
    WindowsDesktopShell shell;
    BrowserLauncher launcher{shell, *this, folder.path};
};

// Where no ANSI code page holds the names whole, and with what a command line could misread.
TEST_F(WindowsShell, FindsTheRegisteredBrowserWhichReceivesExactlyTheAddress) {
    const fs::path browser = folder.path / L"Fake Browser \u6e29\u5ea6 \u00b0C" / "browser.exe";
    fs::create_directory(browser.parent_path());
    fs::copy_file(testProgram().parent_path() / "fake_browser.exe", browser);
    RegSetValueW(HKEY_CLASSES_ROOT, L"Tolvane.TestPage\\shell\\open\\command", REG_SZ,
                 (L"\"" + browser.wstring() + L"\" \"%1\"").c_str(), 0);
    const HtmClass association(L"Tolvane.TestPage");
    const std::string address = "http://a.example/\u00b0C\u6e29/?q=98.6%20F&x=1^2|3<4> \"d e\" %1";

    ASSERT_TRUE(launcher.FindBrowser());
    EXPECT_EQ(launcher.BrowserPath(), reinterpret_cast<const char*>(browser.u8string().c_str()));
    launcher.OpenWebPage(address, 0);

    EXPECT_EQ(testing::waitForFile(browser.parent_path() / "arguments.txt"), address);
}

TEST_F(WindowsShell, MissingAssociationIsNotFoundAndStillDeletesThePage) {
    const HtmClass association(L"Tolvane.NoSuchClass");

    EXPECT_FALSE(launcher.FindBrowser());
    EXPECT_FALSE(fs::exists(folder.path / "temphtm.HTM"));
}

// The resource is made from the same values as tolvane_version.h, so the header says what it must
// hold. The strings are looked up in the table that the translation table names, as Explorer does.
TEST(VersionResource, HoldsTheProgramsVersionAndNames) {
    std::vector<char> block(GetFileVersionInfoSizeW(testProgram().c_str(), nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(testProgram().c_str(), 0, static_cast<DWORD>(block.size()),
                                    block.data()));
    void* value = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &size));
    const auto& v = *static_cast<const VS_FIXEDFILEINFO*>(value);
    const auto numbers = [](DWORD high, DWORD low) {
        return std::array<unsigned, 4>{HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low)};
    };
    EXPECT_EQ(numbers(v.dwFileVersionMS, v.dwFileVersionLS), version::kNumbers);
    EXPECT_EQ(numbers(v.dwProductVersionMS, v.dwProductVersionLS), version::kNumbers);
    EXPECT_EQ(v.dwFileType, static_cast<DWORD>(VFT_APP));

    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &size));
    ASSERT_GE(size, 2 * sizeof(WORD));
    const auto* translation = static_cast<const WORD*>(value);  // language, code page
    std::wostringstream table;
    table << L"\\StringFileInfo\\" << std::hex << std::setfill(L'0') << std::setw(4)
          << translation[0] << std::setw(4) << translation[1] << L'\\';
    const std::string executable = version::kExecutableName;
    const std::pair<const wchar_t*, std::string> strings[] = {
        {L"FileVersion", version::kText},
        {L"ProductVersion", version::kText},
        {L"ProductName", version::kProgramTitle},
        {L"InternalName", executable},
        {L"OriginalFilename", executable + ".exe"}};
    for (const auto& [name, expected] : strings) {
        ASSERT_TRUE(VerQueryValueW(block.data(), (table.str() + name).c_str(), &value, &size))
            << name;
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)),
                  std::wstring(expected.begin(), expected.end()))
            << name;
    }
}

}  // namespace
}  // namespace tolvane
