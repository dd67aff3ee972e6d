// The Win32 main window driven as a user drives it, in this process with a real message loop:
// typing, the keypad, the menu, Tab, the panels, the window's size. What a field's text does to
// the others is conversion_panel_test's; here, that the controls reach it and that the focus goes
// where the user expects.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "browser_launcher.h"
#include "frm_temperature_one.h"
#include "help_messages.h"
#include "preference_file.h"
#include "program.h"
#include "recorded_messages.h"
#include "recording_desktop.h"
#include "search_page_file.h"
#include "test_files.h"
#include "tolvane_version.h"
#include "web_addresses.h"
#include "wide_text.h"
#include "win32_message_boxes.h"
#include "window_rows.h"

namespace {

using tolvane::KeyId;
using tolvane::PanelMode;
using tolvane::UnitField;
using tolvane::win32::frmTemperatureOne;
using tolvane::win32::MainWindowServices;
using tolvane::win32::MainWindowSettings;
namespace layout = tolvane::layout;
namespace testing = tolvane::testing;

// Test names allow letters, digits and underscores only.
struct RowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        std::string name = row.param.name;
        for (char& c : name) {
            if (std::isalnum(static_cast<unsigned char>(c)) == 0) {
                c = '_';
            }
        }
        return name;
    }
};

std::string textOf(HWND window) {
    return tolvane::win32::windowText(window);
}

std::pair<DWORD, DWORD> selectionOf(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

std::string menuText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return tolvane::toUtf8Shown(text);
}

class Win32MainWindow : public ::testing::Test {
protected:
    void SetUp() override { make(MainWindowSettings{}); }

    // The system's answer to whether it can show web pages differs from machine to machine;
    // the window is told one here.
    void make(MainWindowSettings settings) {
        window.reset();
        settings.pageEngine = [this] {
            ++pageEngineQuestions;
            return pageEngineAvailable;
        };
        window = std::make_unique<frmTemperatureOne>(
            MainWindowServices{messages, launcher, page, folder.path / "pref.ifm",
                               folder.path / "tolvane.chm", [this] { ++runsEnded; }},
            settings);
    }

    HWND handle() const { return window->handle(); }
    HWND field(UnitField unit) const { return window->unitField(unit); }
    HWND key(KeyId id) const { return window->control(tolvane::keypadKey(id).objectName); }

    void show(PanelMode mode = PanelMode::Conversion) {
        window->setPanelMode(mode);
        ShowWindow(handle(), SW_SHOWNORMAL);
        SetForegroundWindow(handle());
        pump();
    }

    // Everything the queue holds, through the program's own loop.
    void pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!window->handleDialogMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    void type(HWND edit, const std::string& text) {
        for (const char c : text) {
            PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
            pump();
        }
    }

    void focus(UnitField unit) {
        SetFocus(field(unit));
        pump();
    }

    std::array<std::string, 4> texts() const {
        return {textOf(field(UnitField::Celsius)), textOf(field(UnitField::Kelvin)),
                textOf(field(UnitField::Fahrenheit)), textOf(field(UnitField::Rankine))};
    }

    // A click of the mouse, as the button sees it.
    void click(HWND button) {
        SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        pump();
    }

    testing::TempFolder folder;
    testing::RecordedMessages messages;
    testing::RecordingDesktop desktop;
    tolvane::BrowserLauncher launcher{desktop, desktop, folder.path};
    tolvane::SearchPageFile page{folder.path};
    int runsEnded = 0;
    bool pageEngineAvailable = false;
    int pageEngineQuestions = 0;
    std::unique_ptr<frmTemperatureOne> window;
};

// The web browser control is an OLE object, as in the program.
struct OleThread : ::testing::Environment {
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};
const auto* const kOleThread = ::testing::AddGlobalTestEnvironment(new OleThread);

// --- The rows every front end plays ------------------------------------------------------------

class TypedEntry : public Win32MainWindow,
                   public ::testing::WithParamInterface<testing::TypedEntry> {};

TEST_P(TypedEntry, EndsInTheFourTextsAndMessages) {
    const testing::TypedEntry& row = GetParam();
    show();
    focus(row.field);
    type(field(row.field), row.typed);
    EXPECT_EQ(texts(), row.texts);
    std::vector<std::string> shown;
    for (const auto& message : messages.shown) {
        shown.push_back(message.text);
    }
    EXPECT_EQ(shown, row.messages);
}

INSTANTIATE_TEST_SUITE_P(Rows, TypedEntry, ::testing::ValuesIn(testing::typedEntries()), RowName());

class KeypadEdit : public Win32MainWindow,
                   public ::testing::WithParamInterface<testing::KeypadEdit> {};

TEST_P(KeypadEdit, LandsInTheActiveFieldWithTheCaretWhereExpected) {
    const testing::KeypadEdit& row = GetParam();
    show();
    focus(UnitField::Celsius);
    const HWND celsius = field(UnitField::Celsius);
    SetWindowTextW(celsius, tolvane::toUtf16Shown(row.text).c_str());
    SendMessageW(celsius, EM_SETSEL, row.selectionStart, row.selectionStart + row.selectionLength);
    click(key(row.key));
    EXPECT_EQ(textOf(celsius), row.expected);
    const auto caret = static_cast<DWORD>(row.caret);
    EXPECT_EQ(selectionOf(celsius), std::pair(caret, caret));
    EXPECT_EQ(GetFocus(), celsius);
    EXPECT_EQ(window->activeField(), UnitField::Celsius);
}

INSTANTIATE_TEST_SUITE_P(Rows, KeypadEdit, ::testing::ValuesIn(testing::keypadEdits()), RowName());

// --- The focus and the active field ------------------------------------------------------------

// Watches which windows of this thread receive the focus.
struct FocusWatch {
    FocusWatch() {
        hook = SetWindowsHookExW(WH_CALLWNDPROC, record, nullptr, GetCurrentThreadId());
    }
    ~FocusWatch() { UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_SETFOCUS) {
            focused.push_back(call->hwnd);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook;
    static inline std::vector<HWND> focused;
};

TEST_F(Win32MainWindow, KeypadClicksNeverTakeTheFocusFromTheField) {
    show();
    focus(UnitField::Kelvin);
    FocusWatch::focused.clear();
    FocusWatch watch;
    for (const KeyId id : {KeyId::Seven, KeyId::Dot, KeyId::Five, KeyId::Left, KeyId::BackSpace}) {
        click(key(id));
    }
    EXPECT_EQ(textOf(field(UnitField::Kelvin)), "75");
    EXPECT_EQ(window->activeField(), UnitField::Kelvin);
    EXPECT_EQ(GetFocus(), field(UnitField::Kelvin));
    for (const HWND focused : FocusWatch::focused) {
        EXPECT_EQ(focused, field(UnitField::Kelvin)) << "a key took the focus";
    }
}

TEST_F(Win32MainWindow, AKeyBeforeAnyFieldHadTheFocusDoesNothing) {
    ASSERT_EQ(window->activeField(), std::nullopt);
    click(key(KeyId::Seven));
    click(key(KeyId::Home));
    EXPECT_EQ(texts(), (std::array<std::string, 4>{"", "", "", ""}));
}

// The icon a message box shows: its static control with an icon (Windows numbers it 20, Wine
// otherwise).
BOOL CALLBACK findIcon(HWND child, LPARAM result) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    const auto style = GetWindowLongPtrW(child, GWL_STYLE);
    if (std::wstring_view(className) == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(result) =
            reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

HICON iconOf(HWND box) {
    HICON found = nullptr;
    EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Dismisses each message box of this thread as it opens, after noting what it showed.
struct MessageBoxWatch {
    struct Seen {
        std::string title;
        std::string text;
        bool informationIcon;
        HWND owner;
    };
    MessageBoxWatch() { hook = SetWindowsHookExW(WH_CBT, record, nullptr, GetCurrentThreadId()); }
    ~MessageBoxWatch() { UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        if (code == HCBT_ACTIVATE && GetClassNameW(box, className, 16) > 0 &&
            std::wstring_view(className) == L"#32770") {
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            const HICON icon = iconOf(box);
            seen.push_back({textOf(box), tolvane::toUtf8Shown(text),
                            icon != nullptr && icon == LoadIconW(nullptr, IDI_INFORMATION),
                            GetWindow(box, GW_OWNER)});
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook;
    static inline std::vector<Seen> seen;
};

TEST_F(Win32MainWindow, TheSystemsMessageBoxShowsTheMessageAndGivesTheFocusBack) {
    tolvane::win32::Win32MessageBoxes systemBoxes([this] { return handle(); });
    window.reset();
    window = std::make_unique<frmTemperatureOne>(
        MainWindowServices{systemBoxes, launcher, page, folder.path / "pref.ifm",
                           folder.path / "tolvane.chm", [] {}},
        MainWindowSettings{});
    show();
    focus(UnitField::Fahrenheit);
    MessageBoxWatch::seen.clear();
    MessageBoxWatch watch;
    type(field(UnitField::Fahrenheit), "1a");
    type(field(UnitField::Fahrenheit), "\b\b3E30");

    ASSERT_EQ(MessageBoxWatch::seen.size(), 2u);
    EXPECT_EQ(MessageBoxWatch::seen[0].text, tolvane::kNotNumericMessage);
    EXPECT_EQ(MessageBoxWatch::seen[1].text, tolvane::kOutOfRangeMessage);
    for (const auto& box : MessageBoxWatch::seen) {
        EXPECT_EQ(box.title, tolvane::version::kProgramTitle);
        EXPECT_TRUE(box.informationIcon);
        EXPECT_EQ(box.owner, handle());
    }
    EXPECT_EQ(window->activeField(), UnitField::Fahrenheit);
    EXPECT_EQ(GetFocus(), field(UnitField::Fahrenheit));
}

TEST_F(Win32MainWindow, TheActiveFieldWaitsOnTheSearchPanelAndHasTheFocusAgainAfterIt) {
    show();
    focus(UnitField::Rankine);
    type(field(UnitField::Rankine), "0");
    window->cmd_Search_Click();
    pump();
    EXPECT_EQ(window->panelMode(), PanelMode::Search);
    EXPECT_FALSE(IsWindowVisible(field(UnitField::Rankine)));
    for (const UnitField unit : tolvane::kUnitFields) {
        EXPECT_NE(GetFocus(), field(unit));
    }
    EXPECT_EQ(window->activeField(), UnitField::Rankine);

    window->cmd_Search_Click();
    pump();
    EXPECT_EQ(window->panelMode(), PanelMode::Conversion);
    EXPECT_EQ(GetFocus(), field(UnitField::Rankine));
    EXPECT_EQ(window->activeField(), UnitField::Rankine);
    EXPECT_EQ(textOf(field(UnitField::Celsius)), "-273.15");
}

// Tab goes through the conversion panel's tab stops in the order of the window's table.
TEST_F(Win32MainWindow, TabFollowsTheTablesOrderAndComesRound) {
    show();
    const layout::Window design = layout::mainWindow(".");
    std::vector<std::string> expected;
    for (const layout::Control& control : design.controls) {
        if (control.tabStop && control.parent == "Frame2") {
            expected.push_back(control.name);
        }
    }
    ASSERT_EQ(expected.front(), "txtCelsius");
    expected.push_back(expected.front());
    focus(UnitField::Celsius);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        PostMessageW(GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
        pump();
        EXPECT_EQ(GetFocus(), window->control(expected[i])) << "after " << expected[i - 1];
    }
}

TEST_F(Win32MainWindow, TheFirstActivationFocusesTheFirstField) {
    show();
    EXPECT_EQ(GetFocus(), field(UnitField::Celsius));
    EXPECT_EQ(window->activeField(), UnitField::Celsius);
}

// --- What a screen reader reads ----------------------------------------------------------------

TEST_F(Win32MainWindow, FieldsAreNamedByTheirLabelsAndButtonsByTheirCaptions) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    show();
    const layout::Window design = layout::mainWindow(".");
    std::size_t checked = 0;
    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const layout::Control& control = design.controls[i];
        std::string expected;
        if (control.kind == layout::ControlKind::TextBox) {
            expected = design.controls[i - 1].caption;
        } else if (control.kind == layout::ControlKind::CommandButton) {
            expected = control.caption;
        } else {
            continue;
        }
        IAccessible* accessible = nullptr;
        ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(
            window->control(control.name), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
            reinterpret_cast<void**>(&accessible))));
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        accessible->get_accName(self, &name);
        EXPECT_EQ(name != nullptr ? tolvane::toUtf8Shown(name) : "", expected) << control.name;
        SysFreeString(name);
        accessible->Release();
        ++checked;
    }
    EXPECT_EQ(checked, 4u + 21u + 1u);  // the fields, the keys and Refresh
    CoUninitialize();
}

// --- The menu, the run's end ---------------------------------------------------------------------

TEST_F(Win32MainWindow, TheMenuBarHoldsTheCommandsInOrder) {
    const HMENU bar = GetMenu(handle());
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    EXPECT_EQ(menuText(bar, 0), "&Close");
    EXPECT_EQ(menuText(bar, 1), "&Peferences");
    EXPECT_EQ(menuText(bar, 2), "&Help");
    EXPECT_EQ(menuText(bar, 3), "&Search About");
    const HMENU help = GetSubMenu(bar, 2);
    ASSERT_EQ(GetMenuItemCount(help), 3);
    EXPECT_EQ(menuText(help, 0), "Content");
    EXPECT_EQ(GetMenuState(help, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(menuText(help, 2), "About");

    window->setPanelMode(PanelMode::Search);
    EXPECT_EQ(menuText(bar, 3), "&Temperature Conversion");
    window->setPanelMode(PanelMode::Conversion);
    EXPECT_EQ(menuText(bar, 3), "&Search About");
}

TEST_F(Win32MainWindow, CloseInTheMenuRemovesThePageAndEndsTheRun) {
    ASSERT_TRUE(window->AboutFile());
    ASSERT_TRUE(std::filesystem::exists(page.path()));
    show();
    SendMessageW(handle(), WM_COMMAND, GetMenuItemID(GetMenu(handle()), 0), 0);
    EXPECT_FALSE(std::filesystem::exists(page.path()));
    EXPECT_EQ(runsEnded, 1);
}

TEST_F(Win32MainWindow, TheCloseBoxRemovesThePageAndEndsTheRun) {
    ASSERT_TRUE(window->AboutFile());
    show();
    SendMessageW(handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(std::filesystem::exists(page.path()));
    EXPECT_FALSE(IsWindow(handle()));
    EXPECT_EQ(runsEnded, 1);
}

TEST_F(Win32MainWindow, APageThatCouldNotBeWrittenIsReportedOnceTheWindowIsPainted) {
    tolvane::SearchPageFile nowhere(folder.path / "missing" / "folder");
    window.reset();
    window = std::make_unique<frmTemperatureOne>(
        MainWindowServices{messages, launcher, nowhere, folder.path / "pref.ifm",
                           folder.path / "tolvane.chm", [] {}},
        MainWindowSettings{});
    const tolvane::WriteResult& written = window->AboutFile();
    ASSERT_FALSE(written);
    window->Form_Load();
    EXPECT_TRUE(messages.shown.empty());
    show();
    UpdateWindow(handle());
    pump();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, written.message());
    EXPECT_NE(desktop.log.find("find "), std::string::npos) << "the browser was looked up";
}

TEST_F(Win32MainWindow, TheDecimalKeyShowsAndTypesTheUsersSeparator) {
    make(MainWindowSettings{96, ","});
    show();
    focus(UnitField::Celsius);
    EXPECT_EQ(textOf(key(KeyId::Dot)), ",");
    for (const KeyId id : {KeyId::Three, KeyId::Dot, KeyId::Five}) {
        click(key(id));
    }
    EXPECT_EQ(textOf(field(UnitField::Celsius)), "3,5");
    EXPECT_EQ(textOf(field(UnitField::Kelvin)), "276,65");
}

// --- Sizes at the window's DPI -------------------------------------------------------------------

class WindowAtDpi : public Win32MainWindow, public ::testing::WithParamInterface<int> {};

RECT rectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

TEST_P(WindowAtDpi, ClientAreaAndControlsAreTheTwipsOfTheDesign) {
    const int dpi = GetParam();
    make(MainWindowSettings{dpi, "."});
    const layout::Window design = layout::mainWindow(".");
    RECT client{};
    GetClientRect(handle(), &client);
    EXPECT_EQ(client.right, pixels(design.clientWidth, dpi));
    EXPECT_EQ(client.bottom, pixels(design.clientHeight, dpi));
    for (const char* name : {"Frame2", "txtFahrenheit", "Label4", "CommandDot", "Frame1",
                             "cmdRefresh", "WebBrowser1"}) {
        const layout::TwipsRect& twips = design.control(name).rect;
        const RECT rect = rectOf(window->control(name));
        EXPECT_EQ(rect.left, pixels(twips.left, dpi)) << name;
        EXPECT_EQ(rect.top, pixels(twips.top, dpi)) << name;
        EXPECT_EQ(rect.right - rect.left, pixels(twips.width, dpi)) << name;
        EXPECT_EQ(rect.bottom - rect.top, pixels(twips.height, dpi)) << name;
    }
    // Each frame's group box fills its panel, so that its border and caption show.
    for (const char* frame : {"Frame1", "Frame2"}) {
        RECT panel{};
        RECT groupBox{};
        GetClientRect(window->control(frame), &panel);
        const HWND frameBox = tolvane::win32::groupBoxOf(window->control(frame));
        ASSERT_EQ(GetWindowLongPtrW(frameBox, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX) << frame;
        GetClientRect(frameBox, &groupBox);
        EXPECT_EQ(groupBox.right, panel.right) << frame;
        EXPECT_EQ(groupBox.bottom, panel.bottom) << frame;
        EXPECT_EQ(textOf(frameBox), design.control(frame).caption);
    }
}

TEST_P(WindowAtDpi, StartUpGivesTheOuterWidthAndRoomForTheConversionPanel) {
    const int dpi = GetParam();
    make(MainWindowSettings{dpi, "."});
    window->setPanelMode(PanelMode::Search);
    window->arrangeForStartUp();
    RECT outer{};
    GetWindowRect(handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, pixels(layout::kMainWindowOuterWidth, dpi));
    RECT client{};
    GetClientRect(handle(), &client);
    const RECT conversion = rectOf(window->control("Frame2"));
    EXPECT_GE(client.bottom, conversion.bottom);
    EXPECT_GE(outer.bottom - outer.top, pixels(layout::kMainWindowOuterHeight, dpi));
    const RECT search = rectOf(window->control("Frame1"));
    EXPECT_EQ(search.left, conversion.left);
    EXPECT_EQ(search.top, conversion.top);
}

INSTANTIATE_TEST_SUITE_P(Dpi, WindowAtDpi, ::testing::Values(96, 144),
                         [](const ::testing::TestParamInfo<int>& dpi) {
                             return std::to_string(dpi.param) + "dpi";
                         });

// --- Start-up, in a folder whose name Windows' ANSI code page cannot spell -----------------------

struct StartUp {
    const char* name;
    const char* prefFile;  // nullptr: none
    PanelMode panel;
};

class Win32StartUp : public ::testing::TestWithParam<StartUp> {};

TEST_P(Win32StartUp, OpensOnTheChosenPanelWritesThePageAndRemovesItOnClose) {
    testing::TempFolder temporary;
    const std::filesystem::path folderPath = temporary.path / L"Temp\u00e9rature \u2103";
    std::filesystem::create_directory(folderPath);
    if (GetParam().prefFile != nullptr) {
        std::ofstream(folderPath / "pref.ifm", std::ios::binary) << GetParam().prefFile;
    }
    tolvane::ApplicationFolder folder;
    folder.path = folderPath;
    tolvane::win32::Program program(folder, std::make_unique<testing::RecordingDesktop>());
    program.Main(SW_SHOWNORMAL);
    frmTemperatureOne& window = *program.mainWindow();
    EXPECT_EQ(window.panelMode(), GetParam().panel);
    EXPECT_TRUE(IsWindowVisible(window.handle()));
    EXPECT_TRUE(std::filesystem::exists(folderPath / "AboutHtm.htm"));
    EXPECT_EQ(window.AboutFilePath(), folderPath / "AboutHtm.htm");

    PostMessageW(window.handle(), WM_COMMAND, GetMenuItemID(GetMenu(window.handle()), 0), 0);
    EXPECT_EQ(program.run(), 0);
    EXPECT_FALSE(std::filesystem::exists(folderPath / "AboutHtm.htm"));
}

INSTANTIATE_TEST_SUITE_P(PreferenceFile, Win32StartUp,
                         ::testing::Values(StartUp{"search", "start search\r\n", PanelMode::Search},
                                           StartUp{"temp", "start temp\r\n", PanelMode::Conversion},
                                           StartUp{"none", nullptr, PanelMode::Conversion}),
                         RowName());

// --- The search panel ----------------------------------------------------------------------------

TEST_F(Win32MainWindow, ARunOnTheConversionPanelNeverAsksForTheWebPageEngine) {
    ASSERT_TRUE(window->AboutFile());
    window->Form_Load();
    show(PanelMode::Conversion);
    focus(UnitField::Celsius);
    type(field(UnitField::Celsius), "37");
    EXPECT_EQ(pageEngineQuestions, 0);
    EXPECT_EQ(window->webBrowser()->browser(), nullptr);
    EXPECT_EQ(window->webBrowser()->message(), nullptr);
}

TEST_F(Win32MainWindow, WithoutAnEngineTheSearchPanelSaysSoAndAllElseGoesOn) {
    ASSERT_TRUE(window->AboutFile());
    window->Form_Load();
    show(PanelMode::Search);
    EXPECT_EQ(pageEngineQuestions, 1);
    ASSERT_NE(window->webBrowser()->message(), nullptr);
    EXPECT_TRUE(IsWindowVisible(window->webBrowser()->message()));
    EXPECT_EQ(textOf(window->webBrowser()->message()),
              tolvane::toUtf8Shown(tolvane::win32::kNoPageEngineMessage));
    SendMessageW(window->control("cmdRefresh"), BM_CLICK, 0, 0);
    pump();
    window->cmd_Search_Click();
    pump();
    focus(UnitField::Celsius);
    type(field(UnitField::Celsius), "100");
    EXPECT_EQ(textOf(field(UnitField::Fahrenheit)), "212");
}

TEST_F(Win32MainWindow, WithAnEngineTheSearchPanelShowsTheRunsPage) {
    pageEngineAvailable = true;
    make(MainWindowSettings{});
    ASSERT_TRUE(window->AboutFile());
    window->Form_Load();
    EXPECT_EQ(window->webBrowser()->browser(), nullptr) << "made before it was seen";
    show(PanelMode::Search);
    ASSERT_NE(window->webBrowser()->browser(), nullptr);
    EXPECT_EQ(window->webBrowser()->message(), nullptr);
    const std::wstring& address = window->webBrowser()->requestedAddress();
    EXPECT_TRUE(address.ends_with(L"AboutHtm.htm")) << tolvane::toUtf8Shown(address);
}

// --- Preferences ---------------------------------------------------------------------------------

std::optional<std::string> bytesOf(const std::filesystem::path& file) {
    return tolvane::readFileStart(file, 1024);
}

TEST_F(Win32MainWindow, PreferencesStoreTheSearchPanelAndApplyIt) {
    show();
    SendMessageW(handle(), WM_COMMAND, GetMenuItemID(GetMenu(handle()), 1), 0);
    tolvane::win32::frmPref* preferences = window->preferencesDialog();
    ASSERT_NE(preferences, nullptr);
    pump();
    EXPECT_EQ(GetFocus(), preferences->control("Command1"));
    EXPECT_EQ(SendMessageW(preferences->control("Option1"), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(preferences->control("Option2"), BM_CLICK, 0, 0);
    SendMessageW(preferences->control("Command1"), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(bytesOf(folder.path / "pref.ifm"), "start search\r\n");
    EXPECT_EQ(window->panelMode(), PanelMode::Search);
    EXPECT_EQ(window->preferencesDialog(), nullptr);

    SendMessageW(handle(), WM_COMMAND, GetMenuItemID(GetMenu(handle()), 1), 0);
    ASSERT_NE(window->preferencesDialog(), nullptr);
    EXPECT_EQ(SendMessageW(window->preferencesDialog()->control("Option2"), BM_GETCHECK, 0, 0),
              BST_CHECKED);
}

TEST_F(Win32MainWindow, CancelAndEscapeStoreNothingAndEnterPressesTheFocusedButton) {
    show();
    SendMessageW(handle(), WM_COMMAND, GetMenuItemID(GetMenu(handle()), 1), 0);
    tolvane::win32::frmPref* preferences = window->preferencesDialog();
    ASSERT_NE(preferences, nullptr);
    pump();
    SendMessageW(preferences->control("Option2"), BM_CLICK, 0, 0);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    pump();
    ASSERT_NE(window->preferencesDialog(), nullptr) << "Escape closed the dialog";
    SetFocus(preferences->control("Command2"));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    pump();
    EXPECT_EQ(window->preferencesDialog(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder.path / "pref.ifm"));
    EXPECT_EQ(window->panelMode(), PanelMode::Conversion);
}

TEST_F(Win32MainWindow, AFileHeldByAnotherProgramKeepsItsBytesAndTheDialogSaysSo) {
    const std::filesystem::path prefFile = folder.path / "pref.ifm";
    std::ofstream(prefFile, std::ios::binary) << "start temp\r\n";
    // Held open by another program that shares it with nobody, as an editor or a virus scanner
    // may: it cannot be replaced until that program lets go.
    const HANDLE held = CreateFileW(prefFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    show();
    SendMessageW(handle(), WM_COMMAND, GetMenuItemID(GetMenu(handle()), 1), 0);
    tolvane::win32::frmPref* preferences = window->preferencesDialog();
    ASSERT_NE(preferences, nullptr);
    SendMessageW(preferences->control("Option2"), BM_CLICK, 0, 0);
    SendMessageW(preferences->control("Command1"), BM_CLICK, 0, 0);
    pump();
    CloseHandle(held);
    EXPECT_EQ(bytesOf(prefFile), "start temp\r\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind(tolvane::kStartPanelNotSavedMessage, 0), 0u)
        << messages.shown[0].text;
    EXPECT_EQ(messages.shown[0].icon, tolvane::MessageIcon::Exclamation);
    EXPECT_NE(window->preferencesDialog(), nullptr) << "the dialog stays open to retry";
    EXPECT_EQ(window->panelMode(), PanelMode::Conversion);
}

// --- About ---------------------------------------------------------------------------------------

TEST_F(Win32MainWindow, AboutsLinkOpensTheHomePageWithTheHandOverIt) {
    show();
    const HMENU help = GetSubMenu(GetMenu(handle()), 2);
    SendMessageW(handle(), WM_COMMAND, GetMenuItemID(help, 2), 0);
    tolvane::win32::frmAbout* about = window->aboutBox();
    ASSERT_NE(about, nullptr);
    pump();
    const HWND link = about->control("Label3");
    SendMessageW(about->handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link), HTCLIENT);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    desktop.log.clear();
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    pump();
    EXPECT_NE(
        desktop.log.find("execute " + std::to_string(reinterpret_cast<std::uintptr_t>(handle())) +
                         " [/opt/web/browser] [" + tolvane::site::homePageAddress() + "]\n"),
        std::string::npos)
        << desktop.log;
}

TEST_F(Win32MainWindow, ReturningToTheMainWindowClosesTheAboutBox) {
    show();
    SendMessageW(handle(), WM_COMMAND, GetMenuItemID(GetSubMenu(GetMenu(handle()), 2), 2), 0);
    pump();
    ASSERT_NE(window->aboutBox(), nullptr);
    ASSERT_TRUE(window->aboutBox()->hasBeenActive());
    SetActiveWindow(handle());
    pump();
    EXPECT_EQ(window->aboutBox(), nullptr);
}

// --- Help ----------------------------------------------------------------------------------------

BOOL CALLBACK collectHelpWindow(HWND candidate, LPARAM list) {
    wchar_t className[32] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(candidate, &process);
    if (process == GetCurrentProcessId() && GetClassNameW(candidate, className, 32) > 0 &&
        std::wstring_view(className) == L"HH Parent" && IsWindowVisible(candidate)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(candidate);
    }
    return TRUE;
}

// The windows of HTML Help in this process.
std::vector<HWND> helpWindows() {
    std::vector<HWND> found;
    EnumWindows(collectHelpWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

class Win32Help : public Win32MainWindow {
protected:
    void SetUp() override {
        window = std::make_unique<frmTemperatureOne>(
            MainWindowServices{messages, launcher, page, folder.path / "pref.ifm",
                               TOLVANE_TEST_HELP_CHM, [] {}},
            MainWindowSettings{});
    }
};

TEST_F(Win32Help, F1AndContentOpenTheHelpWhichGoesWithTheWindow) {
    show();
    focus(UnitField::Kelvin);
    PostMessageW(field(UnitField::Kelvin), WM_KEYDOWN, VK_F1, 1);
    pump();
    EXPECT_EQ(helpWindows().size(), 1u) << "F1";
    EXPECT_TRUE(messages.shown.empty());
    SendMessageW(helpWindows().front(), WM_CLOSE, 0, 0);
    pump();
    ASSERT_TRUE(helpWindows().empty());

    SendMessageW(handle(), WM_COMMAND, GetMenuItemID(GetSubMenu(GetMenu(handle()), 2), 0), 0);
    pump();
    EXPECT_EQ(helpWindows().size(), 1u) << "Content";
    SendMessageW(handle(), WM_CLOSE, 0, 0);
    pump();
    EXPECT_TRUE(helpWindows().empty());
}

struct BadHelpFile {
    const char* name;
    const char* bytes;  // nullptr: no file
    std::string (*message)(std::string_view);
};

class Win32BadHelp : public Win32MainWindow, public ::testing::WithParamInterface<BadHelpFile> {};

TEST_P(Win32BadHelp, IsReportedAndOpensNothing) {
    const std::filesystem::path helpFile = folder.path / "tolvane.chm";
    if (GetParam().bytes != nullptr) {
        std::ofstream(helpFile, std::ios::binary) << GetParam().bytes;
    }
    show();
    PostMessageW(handle(), WM_KEYDOWN, VK_F1, 1);
    pump();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, GetParam().message(tolvane::displayPath(helpFile)));
    EXPECT_TRUE(helpWindows().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, Win32BadHelp,
    ::testing::Values(
        BadHelpFile{"missing", nullptr, tolvane::helpFileNotFoundMessage},
        BadHelpFile{"empty", "", tolvane::helpFileDamagedMessage},
        BadHelpFile{"not_compiled_help", "<html>help</html>", tolvane::helpFileDamagedMessage},
        BadHelpFile{"header_only", "ITSF\x03\0\0\0", tolvane::helpFileDamagedMessage}),
    RowName());

}  // namespace
