// tolvane.exe as a user meets it, seen from another process: started from a copy of its folder
// whose name the ANSI code page cannot spell, found by its title, its fields found by what a
// screen reader calls them, typed into, its messages read off the system's message boxes, and
// ended from its menu or its close box.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "conversion_panel.h"
#include "test_files.h"
#include "tolvane_version.h"
#include "wide_text.h"
#include "win32_outside.h"

namespace {

namespace fs = std::filesystem;
using tolvane::toUtf8Shown;
using tolvane::testing::classOf;
using tolvane::testing::descendantsOf;
using tolvane::testing::kPatience;
using tolvane::testing::textOf;

// What a screen reader calls the control.
std::string accessibleNameOf(HWND control) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible)))) {
        return {};
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    accessible->get_accName(self, &name);
    std::string result = name != nullptr ? toUtf8Shown(name) : "";
    SysFreeString(name);
    accessible->Release();
    return result;
}

// The pixels of a 32 by 32 area of a device context.
using Icon32 = std::array<std::uint32_t, 32 * 32>;

Icon32 pixelsOf(HDC source, POINT origin = {0, 0}) {
    Icon32 pixels{};
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateCompatibleBitmap(source, 32, 32);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 32, 32, source, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = 32;
    format.bmiHeader.biHeight = -32;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory, bitmap, 0, 32, pixels.data(), &format, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Which of the system's message icons the box shows, pixel for pixel: icon handles belong to the
// process that loaded them (under Wine), so each icon is drawn here on the box's ground.
std::string iconShownBy(HWND box) {
    HWND iconControl = nullptr;
    for (const HWND child : descendantsOf(box)) {
        if (classOf(child) == L"Static" &&
            (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            iconControl = child;
        }
    }
    if (iconControl == nullptr) {
        return "no icon";
    }
    // As the screen shows it: the program's own drawing surface is not this process's to read.
    RECT place{};
    GetWindowRect(iconControl, &place);
    const HDC screenDc = GetDC(nullptr);
    const Icon32 shown = pixelsOf(screenDc, {place.left, place.top});
    ReleaseDC(nullptr, screenDc);

    const std::map<std::string, LPCWSTR> candidates = {{"information", IDI_INFORMATION},
                                                       {"exclamation", IDI_WARNING},
                                                       {"error", IDI_ERROR},
                                                       {"question", IDI_QUESTION}};
    const HDC screen = GetDC(nullptr);
    for (const auto& [name, id] : candidates) {
        const HDC canvas = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
        const HGDIOBJ old = SelectObject(canvas, bitmap);
        const HBRUSH ground = CreateSolidBrush(shown[0] & 0xFFFFFF);
        const RECT all{0, 0, 32, 32};
        FillRect(canvas, &all, ground);
        DeleteObject(ground);
        DrawIconEx(canvas, 0, 0, LoadIconW(nullptr, id), 32, 32, 0, nullptr, DI_NORMAL);
        const Icon32 drawn = pixelsOf(canvas);
        SelectObject(canvas, old);
        DeleteObject(bitmap);
        DeleteDC(canvas);
        const bool same = std::equal(
            shown.begin(), shown.end(), drawn.begin(),
            [](std::uint32_t a, std::uint32_t b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); });
        if (same) {
            ReleaseDC(nullptr, screen);
            return name;
        }
    }
    ReleaseDC(nullptr, screen);
    return "an icon of its own";
}

class ProgramFromOutside : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        fs::create_directory(folder);
        for (const fs::directory_entry& file : fs::directory_iterator(TOLVANE_TEST_PROGRAM_DIR)) {
            fs::copy_file(file.path(), folder / file.path().filename());
        }
    }

    void TearDown() override { CoUninitialize(); }

    // Starts the copy and waits until its main window is on the screen.
    void start() {
        ASSERT_TRUE(program.start(folder / L"tolvane.exe"));
        main = program.waitForMainWindow();
        ASSERT_NE(main, nullptr) << "no window titled " << tolvane::version::kProgramTitle;
        for (const HWND child : descendantsOf(main)) {
            if (classOf(child) == L"Edit") {
                fields[accessibleNameOf(child)] = child;
            }
        }
    }

    // Typed into the field, each character handled before the next is sent.
    void type(HWND field, std::string_view text) {
        for (const char c : text) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(field, WM_CHAR, static_cast<WPARAM>(c), 1, SMTO_NORMAL, kPatience,
                                &ignored);
        }
    }

    struct Shown {
        std::string title;
        std::string text;
        std::string icon;
        HWND owner;
    };

    // Types the character that makes a message appear, reads the box and presses its OK.
    Shown typeIntoMessage(HWND field, char c) {
        PostMessageW(field, WM_CHAR, static_cast<WPARAM>(c), 1);
        const HWND box =
            program.waitForWindow([](HWND window) { return classOf(window) == L"#32770"; });
        if (box == nullptr) {
            return {};
        }
        UpdateWindow(box);
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        Shown shown{textOf(box), toUtf8Shown(text), iconShownBy(box), GetWindow(box, GW_OWNER)};
        // Posted: a sent click would wait for the box's own message loop.
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        const ULONGLONG deadline = GetTickCount64() + kPatience;
        while (IsWindow(box) && GetTickCount64() < deadline) {
            Sleep(20);  // polled: nothing tells another process that the box has gone
        }
        return shown;
    }

    // A click into the field: the field takes the focus, and so becomes the one being edited.
    void click(HWND field) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4), SMTO_NORMAL,
                            kPatience, &ignored);
        SendMessageTimeoutW(field, WM_LBUTTONUP, 0, MAKELPARAM(4, 4), SMTO_NORMAL, kPatience,
                            &ignored);
    }

    // Alt+C, the mnemonic of "&Close" in the menu bar. A menu belongs to the process that made
    // it, under Wine, so its items cannot be looked up from here.
    void closeFromTheMenu() { PostMessageW(main, WM_SYSCOMMAND, SC_KEYMENU, 'c'); }

    tolvane::testing::TempFolder temporary;
    const fs::path folder = temporary.path / L"Tolvane \u00e9t\u00e9 \u2103";
    tolvane::testing::RunningProgram program;
    HWND main = nullptr;
    std::map<std::string, HWND> fields;
};

TEST_F(ProgramFromOutside, ConvertsShowsBothMessagesAndEndsFromItsMenu) {
    start();
    ASSERT_NE(main, nullptr);
    for (const char* name : {"Celsius :", "Kelvin :", "Fahrenheit :", "Rankine :"}) {
        ASSERT_EQ(fields.count(name), 1u) << "no field named " << name;
    }
    EXPECT_TRUE(fs::exists(folder / "AboutHtm.htm"));

    type(fields["Celsius :"], "37");
    EXPECT_EQ(textOf(fields["Kelvin :"]), "310.15");
    EXPECT_EQ(textOf(fields["Fahrenheit :"]), "98.6");
    EXPECT_EQ(textOf(fields["Rankine :"]), "558.27");

    const Shown notNumeric = typeIntoMessage(fields["Celsius :"], 'a');
    EXPECT_EQ(notNumeric.title, tolvane::version::kProgramTitle);
    EXPECT_EQ(notNumeric.text, tolvane::kNotNumericMessage);
    EXPECT_EQ(notNumeric.icon, "information");
    EXPECT_EQ(notNumeric.owner, main);

    click(fields["Kelvin :"]);
    type(fields["Kelvin :"], "1E3");
    const Shown outOfRange = typeIntoMessage(fields["Kelvin :"], '1');
    EXPECT_EQ(outOfRange.title, tolvane::version::kProgramTitle);
    EXPECT_EQ(outOfRange.text, tolvane::kOutOfRangeMessage);
    EXPECT_EQ(outOfRange.icon, "information");

    closeFromTheMenu();
    EXPECT_EQ(program.exitCode(), 0u);
    EXPECT_FALSE(fs::exists(folder / "AboutHtm.htm"));
    EXPECT_FALSE(fs::exists(folder / "pref.ifm"));
}

TEST_F(ProgramFromOutside, TheCloseBoxEndsTheRunAndRemovesThePage) {
    start();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(fs::exists(folder / "AboutHtm.htm"));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0u);
    EXPECT_FALSE(fs::exists(folder / "AboutHtm.htm"));
}

}  // namespace
