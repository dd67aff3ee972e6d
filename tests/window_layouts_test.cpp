// The window layouts both front ends are built from: what a mistyped number or a control made in
// the wrong order would break on the screen or for a screen reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "keypad_keys.h"
#include "window_layouts.h"

namespace {

using namespace tolvane::layout;
using tolvane::KeyId;

struct TwipsCase {
    int twips;
    int dotsPerInch;
    int pixels;
};

class TwipsToPixels : public ::testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsToPixels, RoundsToTheNearestPixelHalvesAwayFromZero) {
    const TwipsCase& row = GetParam();
    EXPECT_EQ(twipsToPixels(row.twips, row.dotsPerInch), row.pixels);
}

INSTANTIATE_TEST_SUITE_P(Table, TwipsToPixels,
                         ::testing::Values(TwipsCase{15, 96, 1}, TwipsCase{7, 96, 0},
                                           TwipsCase{8, 96, 1}, TwipsCase{7935, 96, 529},
                                           TwipsCase{1440, 144, 144}, TwipsCase{105, 144, 11},
                                           TwipsCase{-8, 96, -1}, TwipsCase{-7, 96, 0}));

#ifdef _WIN32
// The Windows front end sizes its windows with MulDiv; both must agree to the pixel.
TEST(TwipsToPixelsOnWindows, AgreesWithMulDiv) {
    for (const int dotsPerInch : {96, 120, 144, 192}) {
        for (int twips = -3000; twips <= 9000; ++twips) {
            ASSERT_EQ(twipsToPixels(twips, dotsPerInch), MulDiv(twips, dotsPerInch, 1440))
                << twips << " twips at " << dotsPerInch;
        }
    }
}
#endif

std::vector<Window> allWindows() {
    return {mainWindow("."), splashScreen(), preferencesDialog(), aboutBox()};
}

bool inside(const TwipsRect& inner, int width, int height) {
    return inner.left >= 0 && inner.top >= 0 && inner.width > 0 && inner.height > 0 &&
           inner.left + inner.width <= width && inner.top + inner.height <= height;
}

// By more than a pixel at 96 dots per inch: the Preferences dialog's two options were drawn a
// pixel into each other, which shows nothing.
bool overlap(const TwipsRect& a, const TwipsRect& b) {
    constexpr int kPixel = 15;
    return a.left < b.left + b.width - kPixel && b.left < a.left + a.width - kPixel &&
           a.top < b.top + b.height - kPixel && b.top < a.top + a.height - kPixel;
}

// Each control's parent is a frame made before it, and the control lies within it: a front end
// makes the controls in order and clips them to their parent.
TEST(WindowLayouts, EveryControlLiesInsideAnEarlierParent) {
    for (const Window& window : allWindows()) {
        std::set<std::string> names;
        for (const Control& control : window.controls) {
            SCOPED_TRACE(window.name + "." + control.name);
            EXPECT_TRUE(names.insert(control.name).second) << "made twice";
            if (control.parent.empty()) {
                EXPECT_TRUE(inside(control.rect, window.clientWidth, window.clientHeight));
                continue;
            }
            ASSERT_TRUE(names.count(control.parent)) << "parent made later or not at all";
            const Control& parent = window.control(control.parent);
            EXPECT_EQ(parent.kind, ControlKind::Frame);
            EXPECT_TRUE(inside(control.rect, parent.rect.width, parent.rect.height));
        }
    }
}

TEST(WindowLayouts, NoTwoControlsOfAPanelOverlap) {
    for (const Window& window : allWindows()) {
        for (auto a = window.controls.begin(); a != window.controls.end(); ++a) {
            for (auto b = a + 1; b != window.controls.end(); ++b) {
                if (a->parent == b->parent && a->kind != ControlKind::Frame &&
                    b->kind != ControlKind::Frame) {
                    EXPECT_FALSE(overlap(a->rect, b->rect))
                        << window.name << ": " << a->name << " and " << b->name;
                }
            }
        }
    }
}

// The tab order is the order of the tab stops; it starts in the Celsius field, so that field
// has the focus when the window opens.
TEST(MainWindowLayout, TabStopsComeInTheDesignedOrder) {
    std::vector<std::string> tabStops;
    for (const Control& control : mainWindow(".").controls) {
        if (control.tabStop) {
            tabStops.push_back(control.name);
        }
    }
    EXPECT_EQ(tabStops,
              (std::vector<std::string>{"txtCelsius", "CommandRight", "CommandLeft", "CommandDel",
                                        "CommandEnd", "CommandHome", "txtKelvin", "txtRankine",
                                        "txtFahrenheit", "WebBrowser1", "cmdRefresh"}));
}

// A screen reader on Windows names a text box after the label made just before it.
TEST(MainWindowLayout, EachUnitFieldIsMadeRightAfterItsCaption) {
    const std::vector<Control>& controls = mainWindow(".").controls;
    int fields = 0;
    for (auto control = controls.begin(); control != controls.end(); ++control) {
        if (control->kind != ControlKind::TextBox) {
            continue;
        }
        ++fields;
        ASSERT_NE(control, controls.begin());
        const Control& label = *(control - 1);
        EXPECT_EQ(label.kind, ControlKind::Label) << control->name;
        EXPECT_EQ(label.unit, control->unit) << control->name;
        EXPECT_EQ(label.caption, control->accessibleName + " :");
        EXPECT_EQ(label.rect.top, control->rect.top) << "the row's label and field line up";
    }
    EXPECT_EQ(fields, 4);
}

TEST(MainWindowLayout, HoldsEachKeypadKeyOnceWithTheUsersDecimalSeparator) {
    const Window window = mainWindow(",");
    std::vector<KeyId> keys;
    for (const Control& control : window.controls) {
        if (control.key) {
            keys.push_back(*control.key);
            EXPECT_EQ(control.parent, "Frame2");
        }
    }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys.size(), tolvane::keypadKeys().size());
    EXPECT_EQ(std::unique(keys.begin(), keys.end()), keys.end());
    const Control& dot = window.control("CommandDot");
    EXPECT_EQ(dot.caption, ",");
    EXPECT_EQ(dot.toolTip, " , ");
    EXPECT_EQ(window.control("CommandNine").toolTip, " 9n");
}

TEST(MainWindowLayout, SearchCommandNamesThePanelItSwitchesTo) {
    EXPECT_STREQ(searchCommandCaption(tolvane::PanelMode::Conversion), "&Search About");
    EXPECT_STREQ(searchCommandCaption(tolvane::PanelMode::Search), "&Temperature Conversion");
    EXPECT_STREQ(
        std::find_if(std::begin(kMainMenu), std::end(kMainMenu),
                     [](const MenuItem& item) { return std::string(item.name) == "cmd_Search"; })
            ->caption,
        searchCommandCaption(tolvane::PanelMode::Conversion));
}

}  // namespace
