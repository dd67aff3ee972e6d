#include "keypad_keys.h"

#include <algorithm>

namespace tolvane {
namespace {

constexpr int kColumns[] = {4815, 5295, 5775, 6255, 6735, 7215};
constexpr int kRows[] = {315, 630, 945, 1260};
constexpr int kWidth = 435;
constexpr int kHeight = 285;
constexpr int kWideWidth = 915;
constexpr int kPlusHeight = 300;

using A = KeyAction;
using K = KeyId;

}  // namespace

const std::array<KeypadKey, 21>& keypadKeys() {
    // The tool tip " 9n" is the historical one, typo kept.
    static const std::array<KeypadKey, 21> keys = {{
        {K::Seven, "CommandSeven", "7", " 7 ", "7", kColumns[0], kRows[0], kWidth, kHeight, A::Type,
         false},
        {K::Eight, "CommandEight", "8", " 8 ", "8", kColumns[1], kRows[0], kWidth, kHeight, A::Type,
         false},
        {K::Nine, "CommandNine", "9", " 9n", "9", kColumns[2], kRows[0], kWidth, kHeight, A::Type,
         false},
        {K::Minus, "CommandMinus", "-", " - ", "-", kColumns[3], kRows[0], kWidth, kHeight, A::Type,
         false},
        {K::Home, "CommandHome", "Home", " Home ", "Home", kColumns[4], kRows[0], kWideWidth,
         kHeight, A::Home, true},
        {K::Four, "CommandFour", "4", " 4 ", "4", kColumns[0], kRows[1], kWidth, kHeight, A::Type,
         false},
        {K::Five, "CommandFive", "5", " 5 ", "5", kColumns[1], kRows[1], kWidth, kHeight, A::Type,
         false},
        {K::Six, "CommandSix", "6", " 6 ", "6", kColumns[2], kRows[1], kWidth, kHeight, A::Type,
         false},
        {K::Plus, "CommandPlus", "+", " + ", "+", kColumns[3], kRows[1], kWidth, kPlusHeight,
         A::Type, false},
        {K::End, "CommandEnd", "End", " End ", "End", kColumns[4], kRows[1], kWideWidth, kHeight,
         A::End, true},
        {K::One, "CommandOne", "1", " 1 ", "1", kColumns[0], kRows[2], kWidth, kHeight, A::Type,
         false},
        {K::Two, "CommandTwo", "2", " 2 ", "2", kColumns[1], kRows[2], kWidth, kHeight, A::Type,
         false},
        {K::Three, "CommandThree", "3", " 3 ", "3", kColumns[2], kRows[2], kWidth, kHeight, A::Type,
         false},
        {K::ClearEntry, "CommandClearEntry", "CE", " Clear Entry ", "Clear Entry", kColumns[3],
         kRows[2], kWidth, kHeight, A::ClearEntry, false},
        {K::Del, "CommandDel", "Del", " Del ", "Del", kColumns[4], kRows[2], kWideWidth, kHeight,
         A::Delete, true},
        {K::Zero, "CommandZero", "0", " 0 ", "0", kColumns[0], kRows[3], kWidth, kHeight, A::Type,
         false},
        {K::Dot, "CommandDot", ".", " . ", ".", kColumns[1], kRows[3], kWidth, kHeight, A::Type,
         false},
        {K::FloatingPoint, "CommandFloatingPoint", "E", " E ", "E", kColumns[2], kRows[3], kWidth,
         kHeight, A::Type, false},
        {K::BackSpace, "CommandBackSpace", "BS", " Back Space ", "Back Space", kColumns[3],
         kRows[3], kWidth, kHeight, A::BackSpace, false},
        {K::Left, "CommandLeft", "<-", " Left Arrow ", "Left Arrow", kColumns[4], kRows[3], kWidth,
         kHeight, A::Left, true},
        {K::Right, "CommandRight", "->", " Right Arrow ", "Right Arrow", kColumns[5], kRows[3],
         kWidth, kHeight, A::Right, true},
    }};
    return keys;
}

const KeypadKey& keypadKey(KeyId id) {
    const auto& keys = keypadKeys();
    return *std::find_if(keys.begin(), keys.end(),
                         [id](const KeypadKey& key) { return key.id == id; });
}

std::string keyCaption(const KeypadKey& key, std::string_view decimalSeparator) {
    return key.id == KeyId::Dot ? std::string(decimalSeparator) : std::string(key.caption);
}

std::string keyToolTip(const KeypadKey& key, std::string_view decimalSeparator) {
    if (key.id != KeyId::Dot) {
        return std::string(key.toolTip);
    }
    // Appended rather than " " + std::string(...): GCC 12 at -O3 (the Windows release builds)
    // reports that operator+ on a temporary string copies over itself, and -Werror stops there.
    std::string toolTip = " ";
    toolTip.append(decimalSeparator).append(" ");
    return toolTip;
}

std::string keyAccessibleName(const KeypadKey& key, std::string_view decimalSeparator) {
    return key.id == KeyId::Dot ? std::string(decimalSeparator) : std::string(key.accessibleName);
}

}  // namespace tolvane
