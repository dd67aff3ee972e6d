#pragma once

// What a user does in the main window and what the window then shows, the same on every front
// end: each front end's window tests play these rows on its own widgets.
#include <array>
#include <string>
#include <vector>

#include "conversion_panel.h"
#include "keypad_keys.h"
#include "unit_field.h"

namespace tolvane::testing {

// Text typed into one field a character at a time, and the four fields' texts (Celsius, Kelvin,
// Fahrenheit, Rankine) and the messages shown on the way.
struct TypedEntry {
    const char* name;
    UnitField field;
    std::string typed;
    std::array<std::string, 4> texts;
    std::vector<std::string> messages;
};

inline const std::vector<TypedEntry>& typedEntries() {
    static const std::vector<TypedEntry> rows = {
        {"body temperature", UnitField::Celsius, "37", {"37", "310.15", "98.6", "558.27"}, {}},
        {"kelvin", UnitField::Kelvin, "300", {"26.85", "300", "80.33", "540"}, {}},
        {"where Celsius meets Fahrenheit",
         UnitField::Fahrenheit,
         "-40",
         {"-40", "233.15", "-40", "419.67"},
         {}},
        {"absolute zero", UnitField::Rankine, "0", {"-273.15", "0", "-459.67", "0"}, {}},
        {"exponent still being typed",
         UnitField::Celsius,
         "2.5e-",
         {"2.5e-", "275.65", "36.5", "496.17"},
         {}},
        {"not a number", UnitField::Celsius, "12a", {"12a", "", "", ""}, {kNotNumericMessage}},
        {"too large", UnitField::Celsius, "3E30", {"", "", "", ""}, {kOutOfRangeMessage}},
        {"too small", UnitField::Kelvin, "1E-31", {"", "", "", ""}, {kOutOfRangeMessage}},
    };
    return rows;
}

// A keypad key clicked in a field whose text has the caret, or a selection, at the given place;
// the field's text and caret afterwards.
struct KeypadEdit {
    const char* name;
    std::string text;
    int selectionStart;
    int selectionLength;
    KeyId key;
    std::string expected;
    int caret;
};

inline const std::vector<KeypadEdit>& keypadEdits() {
    static const std::vector<KeypadEdit> rows = {
        {"append", "12", 2, 0, KeyId::Three, "123", 3},
        {"exponent letter", "12", 2, 0, KeyId::FloatingPoint, "12E", 3},
        {"typed over a selection", "1234", 1, 2, KeyId::Nine, "194", 2},
        {"BS in the middle", "1234", 2, 0, KeyId::BackSpace, "134", 1},
        {"BS over a selection", "1234", 1, 2, KeyId::BackSpace, "14", 1},
        {"BS at the start", "1234", 0, 0, KeyId::BackSpace, "1234", 0},
        {"Del in the middle", "1234", 2, 0, KeyId::Del, "124", 2},
        {"Del at the end", "1234", 4, 0, KeyId::Del, "1234", 4},
        {"Home over a selection", "1234", 1, 2, KeyId::Home, "1234", 0},
        {"End", "1234", 1, 0, KeyId::End, "1234", 4},
        {"Left", "1234", 2, 0, KeyId::Left, "1234", 1},
        {"Right", "1234", 2, 0, KeyId::Right, "1234", 3},
        {"Clear Entry", "1234", 2, 0, KeyId::ClearEntry, "", 0},
    };
    return rows;
}

}  // namespace tolvane::testing
