#pragma once

#include <string>
#include <string_view>

namespace tolvane {

// What the reading rule makes of a field's text. A text either is not a number at all, or spells
// a number; a spelled number may still lie beyond what a double can hold (1E+400) or be a non-zero
// value too small to tell from zero (1E-400).
struct NumberReading {
    enum class Kind { NotNumeric, Number, BeyondDoubleRange };

    Kind kind = Kind::NotNumeric;
    double value = 0.0;  // meaningful for Kind::Number only

    bool isNumeric() const { return kind != Kind::NotNumeric; }
};

// Reads a field's text: leading spaces, an optional sign, digits with at most one decimal
// separator (at least one digit), an optional exponent (e or E, optional sign, digits), trailing
// spaces. The value is the double nearest to the decimal number spelled. This is the only numeric
// test in the program, so a text that passes it always has a value.
NumberReading readNumber(std::string_view text, std::string_view decimalSeparator);

// Writes a finite value with 15 significant digits: positional for decimal exponents -4 to 14,
// otherwise as 1.23456789012346E+15. Zero, negative zero included, is "0".
std::string writeNumber(double value, std::string_view decimalSeparator);

}  // namespace tolvane
