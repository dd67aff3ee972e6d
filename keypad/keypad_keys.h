#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tolvane {

// What a keypad key does to the active field.
enum class KeyAction { Type, Home, End, Left, Right, Delete, BackSpace, ClearEntry };

// The keys, in the order of the table below.
enum class KeyId {
    Seven,
    Eight,
    Nine,
    Minus,
    Home,
    Four,
    Five,
    Six,
    Plus,
    End,
    One,
    Two,
    Three,
    ClearEntry,
    Del,
    Zero,
    Dot,
    FloatingPoint,
    BackSpace,
    Left,
    Right
};

struct KeypadKey {
    KeyId id;
    const char* objectName;
    const char* caption;  // also what a KeyAction::Type key types
    const char* toolTip;  // blanks around the text are part of it
    const char* accessibleName;
    int left, top, width, height;  // twips, relative to the conversion panel
    KeyAction action;
    bool tabStop;  // the caret and delete keys can be reached with Tab
};

// The 21 keys, in the order their buttons are laid out, row by row.
const std::array<KeypadKey, 21>& keypadKeys();
const KeypadKey& keypadKey(KeyId id);

// What the key's button shows, says in its tool tip and is called by a screen reader: the
// decimal-point key shows the user's decimal separator, the others their own texts.
std::string keyCaption(const KeypadKey& key, std::string_view decimalSeparator);
std::string keyToolTip(const KeypadKey& key, std::string_view decimalSeparator);
std::string keyAccessibleName(const KeypadKey& key, std::string_view decimalSeparator);

}  // namespace tolvane
