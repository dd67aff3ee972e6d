#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keypad_keys.h"
#include "panel_mode.h"
#include "unit_field.h"

// The program's windows as they were designed, without a toolkit: each front end builds its
// windows from these tables, so that a caption, a position or the tab order is written once.
namespace tolvane::layout {

// Twips are 1/1440 inch: 15 to a pixel at 96 dots per inch.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Pixels for twips at the given dots per inch, rounded to the nearest (half away from zero, as
// the Windows MulDiv does).
constexpr int twipsToPixels(int twips, int dotsPerInch = 96) {
    const long long scaled = static_cast<long long>(twips) * dotsPerInch;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

enum class ControlKind { Frame, Label, TextBox, CommandButton, OptionButton, Image, WebBrowser };

struct Font {
    const char* family;  // nullptr: the toolkit's own dialog font
    double points;
    bool bold;
};
inline constexpr Font kFormFont{"Verdana", 8.25, false};
inline constexpr Font kFormFontBold{"Verdana", 8.25, true};
inline constexpr Font kSplashFont{"Arial", 8.25, false};
inline constexpr Font kSplashTitleFont{"Arial", 12, true};
inline constexpr Font kDialogFont{nullptr, 0, false};

enum class TextAlignment { Left, Right };

struct Control {
    std::string name;
    ControlKind kind;
    std::string caption;  // UTF-8
    TwipsRect rect;       // in its parent's client area
    std::string parent;   // the frame that holds it; empty for the window itself
    Font font;
    TextAlignment alignment = TextAlignment::Left;
    bool wordWrap = false;  // a label whose caption wraps within its rectangle
    bool tabStop = false;
    std::string toolTip;            // blanks around the text are part of it
    std::string accessibleName;     // what a screen reader calls it, where its caption is no name
    std::optional<UnitField> unit;  // a unit field, or a unit's caption or symbol label
    std::optional<KeyId> key;       // a keypad key
};

// A window: its controls in the order they are made. The tab order is the order of the tab
// stops among them, and a text box is made right after the label that names it, which is how
// a screen reader on Windows finds its name.
struct Window {
    std::string name;
    std::string caption;
    int clientWidth;  // twips
    int clientHeight;
    Font font;
    std::vector<Control> controls;

    const Control& control(std::string_view name) const;  // the control must exist
};

// The main window as designed: both panels visible, the search panel below the conversion
// panel. The keypad's decimal-point key shows decimalSeparator.
Window mainWindow(std::string_view decimalSeparator);

// Start-up gives the main window this outer size (frame, title and menu bar included) and puts
// the search panel where the conversion panel is.
inline constexpr int kMainWindowOuterWidth = 8025;
inline constexpr int kMainWindowOuterHeight = 2800;

struct MenuItem {
    const char* name;
    const char* caption;  // "-" is a separator
    bool inHelpMenu;      // false: on the menu bar itself
};
// The main window's menu bar in order; "cmd_Help" opens the items marked inHelpMenu.
inline constexpr MenuItem kMainMenu[] = {
    {"cmd_Exit", "&Close", false},
    {"cmd_Pref", "&Peferences", false},  // the historical caption,
                                         // typo kept
    {"cmd_Help", "&Help", false},
    {"cmd_Content", "Content", true},
    {"emptya", "-", true},
    {"cmd_About", "About", true},
    {"cmd_Search", "&Search About", false},
};

// The caption of cmd_Search, which names the panel that it switches to.
const char* searchCommandCaption(PanelMode showing);

Window splashScreen();
Window preferencesDialog();
Window aboutBox();

}  // namespace tolvane::layout
