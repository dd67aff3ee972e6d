// The Windows program from outside, as a user meets it: copied into a folder of its own and
// started there, found by its title among the windows of its own process, typed into, its message
// boxes read off the screen and dismissed, and ended from its menu and from its close box. It
// knows nothing of the program's code: only what another process can see of its windows and files.
//
// Wine differs from Windows in three things this test meets, and takes the way that works on both:
// another process's menu cannot be read there, its icon handles are of no use outside it, and the
// message box numbers its icon 0x440 rather than 0x14 (see chooseFromMenuBar, showsIcon).

#include <gtest/gtest.h>

#include "case_name.h"
#include "conversion_panel.h"
#include "test_files.h"
#include "tolvane_version.h"
#include "window_layouts.h"

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolvane {
namespace {

namespace fs = std::filesystem;

// Milliseconds. A first start under Wine, with a cold prefix, can take many seconds; anything
// else the program is asked for takes far less than a minute unless it hangs.
constexpr DWORD kStartTime = 60'000;
constexpr DWORD kReactionTime = 60'000;
// How long a look at the program's windows waits before the next one. The wait is on the
// program's process, so its end is seen at once.
constexpr DWORD kLookAgain = 10;

std::wstring widen(std::string_view utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

std::string narrow(std::wstring_view wide) {
    return reinterpret_cast<const char*>(fs::path(wide).u8string().c_str());
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<HWND__, WindowDestroyer>;

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
using AccessiblePtr = std::unique_ptr<IAccessible, Releaser>;

struct BstrFreer {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFreer>;

// COM for the accessibility objects, for one test.
struct ComApartment {
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    const HRESULT result;
};

// The built program, and the files it reads beside itself when the build has them.
fs::path builtProgram() {
    return fs::path(TOLVANE_PROGRAM).make_preferred();
}
constexpr std::array kProgramCompanions = {"tolvane.chm", "banner_top.gif", "searchfor.gif",
                                           "go.gif"};

// A copy of the program in a folder whose name no ANSI code page holds whole, so that every path
// the program makes from its own folder must be wide to reach it.
class ProgramFolder {
public:
    ProgramFolder() {
        fs::create_directory(path);
        fs::copy_file(builtProgram(), program());
        for (const char* name : kProgramCompanions) {
            if (const fs::path companion = builtProgram().parent_path() / name;
                fs::exists(companion)) {
                fs::copy_file(companion, path / name);
            }
        }
    }

    fs::path program() const { return path / builtProgram().filename(); }
    fs::path searchPage() const { return path / "AboutHtm.htm"; }
    fs::path preferences() const { return path / "pref.ifm"; }
    // The program is started from elsewhere, so that a file made relative to the current folder
    // does not land beside it by chance.
    fs::path startingFolder() const { return outer.path; }

private:
    const testing::TempFolder outer;

public:
    const fs::path path = outer.path / L"Tolvane \u00e9t\u00e9 \u2103";
};

std::wstring className(HWND window) {
    std::array<wchar_t, 256> name{};
    return {name.data(), static_cast<std::size_t>(
                             GetClassNameW(window, name.data(), static_cast<int>(name.size())))};
}

// The caption as the window manager keeps it; for another process's window nothing is sent.
std::wstring windowTitle(HWND window) {
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(GetWindowTextW(window, title.data(), static_cast<int>(title.size())));
    return title;
}

// The text as the control itself answers it; nothing when it does not answer in time.
std::optional<std::wstring> controlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kReactionTime,
                             &length)) {
        return std::nullopt;
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, kReactionTime,
                             &copied)) {
        return std::nullopt;
    }
    text.resize(copied);
    return text;
}

// For EnumWindows and EnumChildWindows: every window into the std::vector<HWND> at `list`.
BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::string shown(const std::optional<std::wstring>& text) {
    return text ? "\"" + narrow(*text) + "\"" : "no answer";
}

// The program as a process of its own, started with CreateProcessW. One that is still running at
// the end is ended, so that its folder can be removed.
class RunningProgram {
public:
    RunningProgram(const fs::path& program, const fs::path& startingFolder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION created{};
        std::wstring commandLine = L"\"" + program.wstring() + L"\"";
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, startingFolder.c_str(), &startup, &created)) {
            startError = GetLastError();
            return;
        }
        process.reset(created.hProcess);
        CloseHandle(created.hThread);
        id = created.dwProcessId;
    }
    ~RunningProgram() {
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), kReactionTime);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return process != nullptr; }
    DWORD processId() const { return id; }
    DWORD startError = 0;
    bool running() const { return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; }
    bool owns(HWND window) const {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == id;
    }

    // Looks at `done` until it holds; false when it still does not after `timeout`, or when the
    // program ended without its holding. Meanwhile this thread's messages are handled, among them
    // the window events it watches.
    template <typename Done>
    bool waitUntil(Done done, DWORD timeout) const {
        const ULONGLONG deadline = GetTickCount64() + timeout;
        const HANDLE ended = process.get();
        while (!done()) {
            if (GetTickCount64() >= deadline ||
                MsgWaitForMultipleObjects(1, &ended, FALSE, kLookAgain, QS_ALLINPUT) ==
                    WAIT_OBJECT_0) {
                return done();
            }
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
        }
        return true;
    }

    std::optional<DWORD> exitCode(DWORD timeout) const {
        DWORD code = 0;
        if (WaitForSingleObject(process.get(), timeout) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process.get(), &code)) {
            return std::nullopt;
        }
        return code;
    }

    // The program's top-level windows, visible or not.
    std::vector<HWND> topLevelWindows() const {
        std::vector<HWND> all;
        EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
        std::erase_if(all, [this](HWND window) { return !owns(window); });
        return all;
    }

    // Its main window: visible and titled with the program's title. Other processes may show
    // windows of that title at the same time; only this process's count.
    HWND mainWindow() const {
        for (const HWND window : topLevelWindows()) {
            if (IsWindowVisible(window) && className(window) != L"#32770" &&
                windowTitle(window) == widen(version::kProgramTitle)) {
                return window;
            }
        }
        return nullptr;
    }

    // A message box of the program: a top-level dialog window of this process other than `main`.
    HWND messageBox(HWND main) const {
        for (const HWND window : topLevelWindows()) {
            if (window != main && className(window) == L"#32770") {
                return window;
            }
        }
        return nullptr;
    }

    // Once this returns, the program has handled everything sent to it before: its thread takes
    // a sent message only between the messages it handles.
    bool roundTrip(HWND window) const {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kReactionTime, &ignored) !=
               0;
    }

private:
    UniqueHandle process;
    DWORD id = 0;
};

// What a screen reader calls the control; nothing when it has no name.
std::optional<std::wstring> accessibleName(HWND control) {
    IAccessible* object = nullptr;
    // __uuidof, not IID_IAccessible: mingw-w64's oleacc import library names that symbol but
    // links it to a stub of code, not to the interface's identifier.
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return std::nullopt;
    }
    const AccessiblePtr accessible(object);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (accessible->get_accName(self, &name) != S_OK || !name) {
        return std::nullopt;
    }
    const UniqueBstr owned(name);
    return std::wstring(name, SysStringLen(name));
}

// What a screen reader calls each edit control among the window's descendants.
std::vector<std::pair<std::wstring, HWND>> editsByAccessibleName(HWND main) {
    std::vector<HWND> descendants;
    EnumChildWindows(main, collectWindow, reinterpret_cast<LPARAM>(&descendants));
    std::vector<std::pair<std::wstring, HWND>> edits;
    for (const HWND window : descendants) {
        if (CompareStringOrdinal(className(window).c_str(), -1, L"Edit", -1, TRUE) == CSTR_EQUAL) {
            if (const std::optional<std::wstring> name = accessibleName(window)) {
                edits.emplace_back(*name, window);
            }
        }
    }
    return edits;
}

// The name each unit field should have: the caption of the label made right before it.
std::map<UnitField, std::wstring> expectedFieldNames() {
    const layout::Window window = layout::mainWindow(".");
    std::map<UnitField, std::wstring> names;
    for (std::size_t i = 1; i < window.controls.size(); ++i) {
        const layout::Control& control = window.controls[i];
        if (control.kind == layout::ControlKind::TextBox && control.unit) {
            names[*control.unit] = widen(window.controls[i - 1].caption);
        }
    }
    return names;
}

const char* unitName(UnitField unit) {
    switch (unit) {
        case UnitField::Celsius:
            return "Celsius";
        case UnitField::Kelvin:
            return "Kelvin";
        case UnitField::Fahrenheit:
            return "Fahrenheit";
        case UnitField::Rankine:
            return "Rankine";
    }
    return "?";
}

// --- The screen, for the message box's icon ---------------------------------------------------

// 32-bit pixels, top row first, in a memory device context.
class PixelBuffer {
public:
    PixelBuffer(int columns, int rows) : width(columns), height(rows) {
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = columns;
        format.bmiHeader.biHeight = -rows;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        context = CreateCompatibleDC(nullptr);
        previous = SelectObject(context, bitmap);
    }
    ~PixelBuffer() {
        SelectObject(context, previous);
        DeleteDC(context);
        DeleteObject(bitmap);
    }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    // Colours without the unused top byte.
    std::vector<std::uint32_t> pixels() const {
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> colours(first,
                                           first + static_cast<std::ptrdiff_t>(width) * height);
        for (std::uint32_t& colour : colours) {
            colour &= 0xFFFFFF;
        }
        return colours;
    }

    const int width;
    const int height;
    HDC context = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
};

std::vector<std::uint32_t> screenPixels(const RECT& area) {
    PixelBuffer copy(area.right - area.left, area.bottom - area.top);
    const HDC screen = GetDC(nullptr);
    BitBlt(copy.context, 0, 0, copy.width, copy.height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copy.pixels();
}

// A system icon as a static icon control draws it: over its background, filling the control.
std::vector<std::uint32_t> drawnIcon(HICON icon, int width, int height, std::uint32_t background) {
    PixelBuffer drawing(width, height);
    const RECT all{0, 0, width, height};
    const HBRUSH brush = CreateSolidBrush(background);
    FillRect(drawing.context, &all, brush);
    DeleteObject(brush);
    DrawIconEx(drawing.context, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    return drawing.pixels();
}

std::size_t differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::size_t count = a.size() == b.size() ? 0 : a.size() + b.size();
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        count += a[i] != b[i];
    }
    return count;
}

// The message box's icon control: a static control of the icon type. Windows numbers it 0x14;
// Wine's message box numbers it 0x440, so it is found by its type.
HWND iconControl(HWND box) {
    if (const HWND windowsIcon = GetDlgItem(box, 0x14)) {
        return windowsIcon;
    }
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (CompareStringOrdinal(className(child).c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            return child;
        }
    }
    return nullptr;
}

struct SystemIcon {
    LPCSTR id;  // a resource number in the guise of a pointer, as IDI_INFORMATION is
    const char* name;
    HICON here() const { return LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(id)); }
};
const SystemIcon kMessageBoxIcons[] = {{IDI_INFORMATION, "information"},
                                       {IDI_WARNING, "warning"},
                                       {IDI_ERROR, "error"},
                                       {IDI_QUESTION, "question"}};

// Whether the box shows the given system icon. On Windows the system's icons are shared by all
// processes, so the handle the control holds is the one LoadIcon gives here. Wine loads them
// anew in each process, and another process's icon handle is of no use here (GetIconInfo fails
// with ERROR_INVALID_CURSOR_HANDLE): there the pixels on the screen are compared with the icon
// drawn here over the same background, taken from the control's corner, which no message box
// icon covers. A window of another program may cover the box; it is brought to the top then, and
// the screen is read until it shows the icon uncovered.
::testing::AssertionResult showsIcon(const RunningProgram& program, HWND box,
                                     const SystemIcon& expected) {
    const HWND control = iconControl(box);
    if (!control || !IsWindowVisible(control)) {
        return ::testing::AssertionFailure() << "the message box shows no icon control";
    }
    DWORD_PTR held = 0;
    if (!SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_NORMAL, kReactionTime, &held) ||
        !held) {
        return ::testing::AssertionFailure() << "the message box's icon control holds no icon";
    }
    if (reinterpret_cast<HICON>(held) == expected.here()) {
        return ::testing::AssertionSuccess();
    }
    RECT area{};
    GetClientRect(control, &area);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&area), 2);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const auto uncovered = [&] {
        const POINT corners[] = {{area.left, area.top},
                                 {area.right - 1, area.top},
                                 {area.left, area.bottom - 1},
                                 {area.right - 1, area.bottom - 1}};
        for (const POINT corner : corners) {
            if (WindowFromPoint(corner) != control) {
                return false;
            }
        }
        return true;
    };
    std::vector<std::uint32_t> screen;
    const auto matches = [&](const SystemIcon& icon) {
        return !screen.empty() &&
               differences(screen, drawnIcon(icon.here(), width, height, screen.front())) == 0;
    };
    const bool seen = program.waitUntil(
        [&] {
            if (uncovered()) {
                screen = screenPixels(area);
            } else {
                // Brought to the top, as a click on its title would, without taking the focus.
                SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                screen.clear();
            }
            return matches(expected);
        },
        kReactionTime);
    if (seen) {
        return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure();
    if (screen.empty()) {
        return failure << "the message box's icon stayed covered by other windows";
    }
    failure << "the message box's icon is not the " << expected.name << " icon";
    for (const SystemIcon& icon : kMessageBoxIcons) {
        if (matches(icon)) {
            failure << " but the " << icon.name << " icon";
        }
    }
    return failure;
}

// --- The program's controls, as a user works them -----------------------------------------------

// The focus of the thread that owns `window`, as any process may ask it.
HWND threadFocus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

// The windows of a process that took the focus while this watch lived, from its window events.
// They arrive while this thread handles its messages (RunningProgram::waitUntil does).
class FocusWatch {
public:
    explicit FocusWatch(DWORD processId)
        : hook(SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &FocusWatch::event,
                               processId, 0, WINEVENT_OUTOFCONTEXT)) {
        current = this;
    }
    ~FocusWatch() {
        UnhookWinEvent(hook);
        current = nullptr;
    }
    FocusWatch(const FocusWatch&) = delete;
    FocusWatch& operator=(const FocusWatch&) = delete;

    bool took(HWND window) const {
        return std::find(windows.begin(), windows.end(), window) != windows.end();
    }

private:
    static void CALLBACK event(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                               DWORD) {
        if (current && object == OBJID_CLIENT && child == CHILDID_SELF) {
            current->windows.push_back(window);
        }
    }
    static inline thread_local FocusWatch* current = nullptr;
    const HWINEVENTHOOK hook;
    std::vector<HWND> windows;
};

// Clicks into the field, as the mouse would, and waits until the field has the focus. Under
// Wine a window that another program shows on the same display meanwhile may take the
// activation, and with it the focus, away again at once; the field has still taken it, which its
// focus event tells.
::testing::AssertionResult clickInto(const RunningProgram& program, HWND field) {
    const FocusWatch focus(program.processId());
    const LPARAM nearLeftEdge = MAKELPARAM(2, 2);
    PostMessageW(field, WM_LBUTTONDOWN, MK_LBUTTON, nearLeftEdge);
    PostMessageW(field, WM_LBUTTONUP, 0, nearLeftEdge);
    if (program.waitUntil([&] { return focus.took(field) || threadFocus(field) == field; },
                          kReactionTime)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the field does not take the focus from a click";
}

// A character key on the field, as the keyboard sends it: a posted WM_CHAR, which the program's
// own message loop sees.
void press(HWND field, wchar_t character) {
    PostMessageW(field, WM_CHAR, character, 1);
}

// Types text that the program takes as it is, one key a character. Posted messages are handled
// in order, and a sent message may overtake them; so it waits until the field shows all of the
// text, which it does once the last character has been handled, and with it whatever the program
// does when the text changes.
::testing::AssertionResult type(const RunningProgram& program, HWND field, std::wstring_view text) {
    const std::optional<std::wstring> before = controlText(field);
    if (!before) {
        return ::testing::AssertionFailure() << "the field does not answer";
    }
    for (const wchar_t character : text) {
        press(field, character);
    }
    const std::wstring expected = *before + std::wstring(text);
    std::optional<std::wstring> now;
    if (program.waitUntil([&] { return (now = controlText(field)) == expected; }, kReactionTime)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "after typing \"" << narrow(text) << "\" the field shows " << shown(now);
}

// Chooses a command of the menu bar by its caption. Where the menu can be read from here it is
// found by its caption and chosen with its command. Wine keeps a menu to the process that made
// it (another process finds no items in it: GetMenuItemCount is -1); there the command is chosen
// as with Alt and its access key, through the menu bar's own keyboard handling.
::testing::AssertionResult chooseFromMenuBar(HWND main, std::wstring_view caption) {
    const HMENU bar = GetMenu(main);
    if (!bar) {
        return ::testing::AssertionFailure() << "the main window has no menu bar";
    }
    const int count = GetMenuItemCount(bar);
    if (count < 0) {
        const std::size_t marker = caption.find(L'&');
        if (marker == std::wstring_view::npos || marker + 1 == caption.size()) {
            return ::testing::AssertionFailure() << "the menu cannot be read from here and \""
                                                 << narrow(caption) << "\" has no access key";
        }
        PostMessageW(main, WM_SYSCOMMAND, SC_KEYMENU,
                     static_cast<LPARAM>(std::towlower(caption[marker + 1])));
        return ::testing::AssertionSuccess();
    }
    std::ostringstream captions;
    for (int i = 0; i < count; ++i) {
        std::array<wchar_t, 256> text{};
        const int length = GetMenuStringW(bar, static_cast<UINT>(i), text.data(),
                                          static_cast<int>(text.size()), MF_BYPOSITION);
        if (std::wstring_view(text.data(), static_cast<std::size_t>(length)) == caption) {
            PostMessageW(main, WM_COMMAND, MAKEWPARAM(GetMenuItemID(bar, i), 0), 0);
            return ::testing::AssertionSuccess();
        }
        captions << " \"" << narrow({text.data(), static_cast<std::size_t>(length)}) << "\"";
    }
    return ::testing::AssertionFailure()
           << "no \"" << narrow(caption) << "\" on the menu bar, which has" << captions.str();
}

std::wstring menuCaption(std::string_view name) {
    for (const layout::MenuItem& item : layout::kMainMenu) {
        if (item.name == name) {
            return widen(item.caption);
        }
    }
    return {};
}

// --- The tests
// ------------------------------------------------------------------------------------

class Win32Program : public ::testing::Test {
protected:
    void SetUp() override {
        // Wine makes no window at all without a display; then nothing below can work.
        const UniqueWindow probe(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                                 nullptr, GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(probe) << "this process cannot make a window: no display (under Wine, "
                              "DISPLAY must name an X server)";
        ASSERT_TRUE(program.started()) << "CreateProcessW failed with error " << program.startError;
        ASSERT_TRUE(
            program.waitUntil([&] { return (main = program.mainWindow()) != nullptr; }, kStartTime))
            << "no visible window titled \"" << version::kProgramTitle
            << "\" of the started process within " << kStartTime / 1000 << " s";
        EXPECT_FALSE(testing::waitForFile(folder.searchPage()).empty())
            << "no search page beside the running program";
    }

    // The field of the unit, found by what a screen reader calls it.
    HWND field(UnitField unit) const {
        const std::wstring name = expectedFieldNames().at(unit);
        HWND found = nullptr;
        for (const auto& [accessibleName, edit] : editsByAccessibleName(main)) {
            if (accessibleName == name) {
                EXPECT_EQ(found, nullptr) << "two fields are called \"" << narrow(name) << "\"";
                found = edit;
            }
        }
        return found;
    }

    // After the program was asked to end: it ends with 0, having removed its search page and
    // written no preferences.
    void expectEndsCleanly() const {
        EXPECT_EQ(program.exitCode(kReactionTime), std::optional<DWORD>(0));
        EXPECT_FALSE(fs::exists(folder.searchPage())) << "the search page is left behind";
        EXPECT_FALSE(fs::exists(folder.preferences())) << "the run wrote preferences";
    }

    const ComApartment com;
    const ProgramFolder folder;
    RunningProgram program{folder.program(), folder.startingFolder()};
    HWND main = nullptr;
};

TEST_F(Win32Program, FieldsAreNamedByTheirLabels) {
    std::ostringstream found;
    for (const auto& [name, edit] : editsByAccessibleName(main)) {
        found << " \"" << narrow(name) << "\"";
    }
    for (const auto& [unit, name] : expectedFieldNames()) {
        EXPECT_NE(field(unit), nullptr)
            << "no field called \"" << narrow(name) << "\"; the fields are called" << found.str();
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    expectEndsCleanly();
}

TEST_F(Win32Program, ConvertsCelsiusAsItIsTypedAndEndsFromTheCloseCommand) {
    const HWND celsius = field(UnitField::Celsius);
    ASSERT_NE(celsius, nullptr);
    ASSERT_TRUE(clickInto(program, celsius));
    ASSERT_TRUE(type(program, celsius, L"37"));

    const std::pair<UnitField, const wchar_t*> results[] = {{UnitField::Kelvin, L"310.15"},
                                                            {UnitField::Fahrenheit, L"98.6"},
                                                            {UnitField::Rankine, L"558.27"}};
    for (const auto& [unit, expected] : results) {
        const HWND result = field(unit);
        ASSERT_NE(result, nullptr) << unitName(unit);
        EXPECT_EQ(controlText(result), std::optional<std::wstring>(expected)) << unitName(unit);
    }

    ASSERT_TRUE(chooseFromMenuBar(main, menuCaption("cmd_Exit")));
    expectEndsCleanly();
}

TEST_F(Win32Program, EndsFromItsCloseBox) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    expectEndsCleanly();
}

// Text typed into Celsius that the program must refuse, and what it says.
struct RefusedCase {
    const char* name;
    const wchar_t* typed;
    const char* message;
};
// A failure names the row, not its bytes.
void PrintTo(const RefusedCase& row, std::ostream* out) {
    *out << row.name;
}

class RefusedEntry : public Win32Program, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedEntry, IsReportedInAnInformationBoxThatOkDismisses) {
    const HWND celsius = field(UnitField::Celsius);
    ASSERT_NE(celsius, nullptr);
    ASSERT_TRUE(clickInto(program, celsius));
    // All but the last character make a number, or its start; the last one is refused, and what
    // the field shows then is the program's to choose (out of range, it empties every field), so
    // the box is what tells that it has been handled.
    const std::wstring_view typed = GetParam().typed;
    ASSERT_TRUE(type(program, celsius, typed.substr(0, typed.size() - 1)));
    press(celsius, typed.back());

    HWND box = nullptr;
    ASSERT_TRUE(program.waitUntil([&] { return (box = program.messageBox(main)) != nullptr; },
                                  kReactionTime))
        << "no message box";
    // The box handles messages once it is made and filled.
    ASSERT_TRUE(program.roundTrip(box));
    EXPECT_EQ(windowTitle(box), widen(version::kProgramTitle));
    EXPECT_EQ(GetWindow(box, GW_OWNER), main) << "the box is not owned by the main window";
    EXPECT_EQ(controlText(GetDlgItem(box, 0xFFFF)),
              std::optional<std::wstring>(widen(GetParam().message)));
    EXPECT_TRUE(showsIcon(program, box, kMessageBoxIcons[0]));

    // Posted: a sent click would wait for the end of the box's modal loop, which waits for it.
    const HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr) << "the box has no OK button";
    PostMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(program.waitUntil([&] { return !IsWindow(box); }, kReactionTime))
        << "the box stays after its OK button was clicked";
    ASSERT_TRUE(program.running());
    EXPECT_TRUE(IsWindowVisible(main));

    PostMessageW(main, WM_CLOSE, 0, 0);
    expectEndsCleanly();
}

INSTANTIATE_TEST_SUITE_P(Celsius, RefusedEntry,
                         ::testing::Values(RefusedCase{"NotANumber", L"12a", kNotNumericMessage},
                                           RefusedCase{"OutOfRange", L"3E30", kOutOfRangeMessage}),
                         testing::CaseName());

}  // namespace
}  // namespace tolvane
