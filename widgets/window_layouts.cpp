#include "window_layouts.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <stdexcept>

#include "tolvane_version.h"

namespace tolvane::layout {
namespace {

using K = ControlKind;

struct UnitRow {
    UnitField unit;
    int top;
    const char* captionName;
    const char* caption;
    int captionWidth;
    const char* fieldName;
    const char* accessibleName;
    const char* symbolName;
    const char* symbol;
    int symbolLeft;
    int symbolWidth;
    const char* symbolToolTip;
};

// The unit rows top to bottom.
constexpr UnitRow kUnitRows[] = {
    {UnitField::Celsius, 315, "lblCentigrade", "Celsius :", 810, "txtCelsius", "Celsius", "Label1",
     "°C", 4500, 210, " degree Celsius "},
    {UnitField::Kelvin, 630, "lblKelvin", "Kelvin :", 720, "txtKelvin", "Kelvin", "Label2", "K",
     4590, 120, " kelvin "},
    // "lblFrarenheit" is misspelt on purpose: it is the label's historical name.
    {UnitField::Fahrenheit, 945, "lblFrarenheit", "Fahrenheit :", 1185, "txtFahrenheit",
     "Fahrenheit", "Label3", "°F", 4500, 210, " degree Fahrenheit "},
    {UnitField::Rankine, 1260, "lblRankine", "Rankine :", 900, "txtRankine", "Rankine", "Label4",
     "R", 4590, 120, " degree Rankine "},
};

constexpr int kCaptionLeft = 120;
constexpr int kLabelHeight = 195;
constexpr int kFieldLeft = 1575;
constexpr int kFieldWidth = 2805;
constexpr int kFieldHeight = 285;

// The tab order of the conversion panel's tab stops: Celsius, the caret and delete keys from
// the right, then Kelvin, Rankine and Fahrenheit.
constexpr UnitField kFieldTabOrder[] = {UnitField::Celsius, UnitField::Kelvin, UnitField::Rankine,
                                        UnitField::Fahrenheit};
constexpr KeyId kKeyTabOrder[] = {KeyId::Right, KeyId::Left, KeyId::Del, KeyId::End, KeyId::Home};

const UnitRow& unitRow(UnitField unit) {
    return *std::find_if(std::begin(kUnitRows), std::end(kUnitRows),
                         [unit](const UnitRow& row) { return row.unit == unit; });
}

void addUnitRow(std::vector<Control>& controls, const UnitRow& row) {
    controls.push_back({.name = row.captionName,
                        .kind = K::Label,
                        .caption = row.caption,
                        .rect = {kCaptionLeft, row.top, row.captionWidth, kLabelHeight},
                        .parent = "Frame2",
                        .font = kFormFontBold,
                        .unit = row.unit});
    controls.push_back({.name = row.fieldName,
                        .kind = K::TextBox,
                        .rect = {kFieldLeft, row.top, kFieldWidth, kFieldHeight},
                        .parent = "Frame2",
                        .font = kFormFont,
                        .tabStop = true,
                        .accessibleName = row.accessibleName,
                        .unit = row.unit});
    controls.push_back({.name = row.symbolName,
                        .kind = K::Label,
                        .caption = row.symbol,
                        .rect = {row.symbolLeft, row.top, row.symbolWidth, kLabelHeight},
                        .parent = "Frame2",
                        .font = kFormFontBold,
                        .toolTip = row.symbolToolTip,
                        .unit = row.unit});
}

void addKey(std::vector<Control>& controls, const KeypadKey& key,
            std::string_view decimalSeparator) {
    controls.push_back({.name = key.objectName,
                        .kind = K::CommandButton,
                        .caption = keyCaption(key, decimalSeparator),
                        .rect = {key.left, key.top, key.width, key.height},
                        .parent = "Frame2",
                        .font = kFormFont,
                        .tabStop = key.tabStop,
                        .toolTip = keyToolTip(key, decimalSeparator),
                        .accessibleName = keyAccessibleName(key, decimalSeparator),
                        .key = key.id});
}

}  // namespace

const Control& Window::control(std::string_view controlName) const {
    const auto found =
        std::find_if(controls.begin(), controls.end(),
                     [controlName](const Control& c) { return c.name == controlName; });
    if (found == controls.end()) {
        throw std::out_of_range("no control " + std::string(controlName) + " in " + name);
    }
    return *found;
}

Window mainWindow(std::string_view decimalSeparator) {
    Window window{.name = "frmTemperatureOne",
                  .caption = version::kProgramTitle,
                  .clientWidth = 7935,
                  .clientHeight = 4845,
                  .font = kFormFont,
                  .controls = {}};
    std::vector<Control>& controls = window.controls;
    controls.push_back({.name = "Frame2",
                        .kind = K::Frame,
                        .caption = "Temperature Conversion",
                        .rect = {82, 105, 7800, 1980},
                        .font = kFormFontBold});
    addUnitRow(controls, unitRow(kFieldTabOrder[0]));
    for (const KeyId id : kKeyTabOrder) {
        addKey(controls, keypadKey(id), decimalSeparator);
    }
    for (const UnitField unit : std::span(kFieldTabOrder).subspan(1)) {
        addUnitRow(controls, unitRow(unit));
    }
    for (const KeypadKey& key : keypadKeys()) {
        if (std::find(std::begin(kKeyTabOrder), std::end(kKeyTabOrder), key.id) ==
            std::end(kKeyTabOrder)) {
            addKey(controls, key, decimalSeparator);
        }
    }

    controls.push_back({.name = "Frame1",
                        .kind = K::Frame,
                        .caption = "Search About",
                        .rect = {45, 2295, 7800, 1980},
                        .font = kFormFontBold});
    controls.push_back({.name = "WebBrowser1",
                        .kind = K::WebBrowser,
                        .rect = {75, 480, 7635, 1410},
                        .parent = "Frame1",
                        .font = kFormFont,
                        .tabStop = true,
                        .accessibleName = "Search page"});
    controls.push_back({.name = "cmdRefresh",
                        .kind = K::CommandButton,
                        .caption = "Refresh",
                        .rect = {6540, 165, 1170, 280},
                        .parent = "Frame1",
                        .font = kFormFont,
                        .tabStop = true});
    return window;
}

const char* searchCommandCaption(PanelMode showing) {
    return showing == PanelMode::Conversion ? "&Search About" : "&Temperature Conversion";
}

Window splashScreen() {
    const auto label = [](const char* name, std::string caption, TwipsRect rect,
                          TextAlignment alignment, Font font = kSplashFont) {
        return Control{.name = name,
                       .kind = K::Label,
                       .caption = std::move(caption),
                       .rect = rect,
                       .font = font,
                       .alignment = alignment};
    };
    const std::string shortVersion =
        std::to_string(version::kNumbers[0]) + "." + std::to_string(version::kNumbers[1]);
    // The four labels on the right end at the same edge, 4845 twips from the left.
    return {
        .name = "frmSplash",
        .caption = "Varnel",
        .clientWidth = 5010,
        .clientHeight = 1260,
        .font = kSplashFont,
        .controls = {
            {.name = "Image1", .kind = K::Image, .rect = {105, 105, 480, 480}, .font = kSplashFont},
            label("Label1", "Varnel", {945, 105, 3900, 285}, TextAlignment::Right,
                  kSplashTitleFont),
            label("Label2", "Freeware", {4125, 420, 720, 210}, TextAlignment::Right),
            label("Label3", "Developed by : The Tolvane team", {2640, 735, 2205, 210},
                  TextAlignment::Right),
            label("Label4", "E-mail : tolvane@example.org", {2535, 945, 2310, 210},
                  TextAlignment::Right),
            label("Label5", "Version " + shortVersion, {105, 735, 840, 210}, TextAlignment::Left),
        }};
}

// Made in tab order: the buttons first, then the options.
Window preferencesDialog() {
    return {.name = "frmPref",
            .caption = "Preferences",
            .clientWidth = 2625,
            .clientHeight = 1680,
            .font = kDialogFont,
            .controls = {
                {.name = "Command1",
                 .kind = K::CommandButton,
                 .caption = "&Ok",
                 .rect = {735, 1260, 855, 330},
                 .font = kDialogFont,
                 .tabStop = true},
                {.name = "Command2",
                 .kind = K::CommandButton,
                 .caption = "&Cancel",
                 .rect = {1680, 1260, 855, 330},
                 .font = kDialogFont,
                 .tabStop = true},
                {.name = "Frame1",
                 .kind = K::Frame,
                 .caption = "Startup Options",
                 .rect = {97, 105, 2430, 1065},
                 .font = kDialogFont},
                {.name = "Option1",
                 .kind = K::OptionButton,
                 .caption = "Temperature Conversion",
                 .rect = {210, 315, 2115, 330},
                 .parent = "Frame1",
                 .font = kDialogFont,
                 .tabStop = true},
                {.name = "Option2",
                 .kind = K::OptionButton,
                 .caption = "Search About",
                 .rect = {210, 630, 2010, 300},
                 .parent = "Frame1",
                 .font = kDialogFont,
                 .tabStop = true},
            }};
}

// Ok is made first, so that it has the focus when the box opens.
Window aboutBox() {
    return {.name = "frmAbout",
            .caption = std::string("About ") + version::kProgramTitle,
            .clientWidth = 5250,
            .clientHeight = 1410,
            .font = kFormFont,
            .controls = {
                {.name = "Command1",
                 .kind = K::CommandButton,
                 .caption = "&Ok",
                 .rect = {4620, 840, 480, 480},
                 .font = kFormFont,
                 .tabStop = true},
                {.name = "Label1",
                 .kind = K::Label,
                 .caption = version::kProgramTitle,
                 .rect = {105, 105, 3870, 195},
                 .font = kFormFontBold},
                {.name = "Label2",
                 .kind = K::Label,
                 .caption = "Converts the temperatures among the four units of temperature; the "
                            "kelvin (K), degree Celsius (°C), degree Fahrenheit (°F), and degree "
                            "Rankine (°R).",
                 .rect = {105, 420, 4425, 645},
                 .font = kFormFont,
                 .wordWrap = true},
                {.name = "Label3",
                 .kind = K::Label,
                 .caption = "Home Page",
                 .rect = {105, 1155, 975, 195},
                 .font = kFormFont},
                {.name = "Image1",
                 .kind = K::Image,
                 .rect = {4620, 315, 480, 480},
                 .font = kFormFont,
                 .accessibleName = "Tolvane icon"},
            }};
}

}  // namespace tolvane::layout
