#include "conversion_panel.h"

#include <array>
#include <cmath>
#include <utility>

#include "formulas.h"
#include "number_text.h"
#include "tolvane_version.h"

namespace tolvane {
namespace {

struct Conversion {
    UnitField from;
    UnitField to;
    double (*formula)(double);
};

constexpr Conversion kCelsiusToKelvin{UnitField::Celsius, UnitField::Kelvin,
                                      formula::celsiusToKelvin};
constexpr Conversion kKelvinToCelsius{UnitField::Kelvin, UnitField::Celsius,
                                      formula::kelvinToCelsius};
constexpr Conversion kCelsiusToFahrenheit{UnitField::Celsius, UnitField::Fahrenheit,
                                          formula::celsiusToFahrenheit};
constexpr Conversion kFahrenheitToCelsius{UnitField::Fahrenheit, UnitField::Celsius,
                                          formula::fahrenheitToCelsius};
constexpr Conversion kFahrenheitToRankine{UnitField::Fahrenheit, UnitField::Rankine,
                                          formula::fahrenheitToRankine};
constexpr Conversion kRankineToFahrenheit{UnitField::Rankine, UnitField::Fahrenheit,
                                          formula::rankineToFahrenheit};

using FieldList = std::array<UnitField, 3>;

// How a change of each field is handled: which conversion routines run, in order (each later
// step reads the rounded text the one before wrote), and which fields are emptied, in order, when
// the entry is partial or not a number.
struct FieldRules {
    std::array<bool (ConversionPanel::*)(), 3> chain;
    FieldList emptiedOnPartialEntry;
    FieldList emptiedWhenNotNumeric;
};

using U = UnitField;
using P = ConversionPanel;
constexpr std::array<FieldRules, 4> kFieldRules = {{
    // Celsius
    {{&P::CelsiusToKelvin, &P::CelsiusToFahrenheit, &P::FahrenheitToRankine},
     {U::Fahrenheit, U::Rankine, U::Kelvin},
     {U::Kelvin, U::Fahrenheit, U::Rankine}},
    // Kelvin
    {{&P::KelvinToCelsius, &P::CelsiusToFahrenheit, &P::FahrenheitToRankine},
     {U::Celsius, U::Fahrenheit, U::Rankine},
     {U::Celsius, U::Fahrenheit, U::Rankine}},
    // Fahrenheit
    {{&P::FahrenheitToRankine, &P::FahrenheitToCelsius, &P::CelsiusToKelvin},
     {U::Celsius, U::Rankine, U::Kelvin},
     {U::Celsius, U::Kelvin, U::Rankine}},
    // Rankine
    {{&P::RankineToFahrenheit, &P::FahrenheitToCelsius, &P::CelsiusToKelvin},
     {U::Celsius, U::Fahrenheit, U::Kelvin},
     {U::Celsius, U::Kelvin, U::Fahrenheit}},
}};

const FieldRules& rulesFor(UnitField field) {
    return kFieldRules[fieldIndex(field)];
}

constexpr double kLargestMagnitude = 2E+30;
constexpr double kSmallestMagnitude = 5E-30;

bool convert(UnitFieldSurface& fields, std::string_view decimalSeparator,
             const Conversion& conversion) {
    const NumberReading source = readNumber(fields.text(conversion.from), decimalSeparator);
    if (source.kind != NumberReading::Kind::Number) {
        return false;
    }
    // Overflow and invalid operations show up as a result that is not finite; the formulas
    // never divide by zero.
    const double result = conversion.formula(source.value);
    if (!std::isfinite(result)) {
        return false;
    }
    fields.setText(conversion.to, writeNumber(result, decimalSeparator));
    return true;
}

void emptyFields(UnitFieldSurface& fields, const FieldList& list) {
    for (const UnitField field : list) {
        fields.setText(field, {});
    }
}

// A lone sign, a lone separator, or a sign and a separator: the start of a number, nothing to
// report yet.
bool isStartOfNumber(std::string_view text, std::string_view decimalSeparator) {
    if (text == "-" || text == "+" || text == decimalSeparator) {
        return true;
    }
    return text.size() == 1 + decimalSeparator.size() && (text[0] == '-' || text[0] == '+') &&
           text.substr(1) == decimalSeparator;
}

bool isExponentLetter(char c) {
    return c == 'e' || c == 'E';
}

auto is(char wanted) {
    return [wanted](char c) { return c == wanted; };
}

// 0-based position of the first place where a character matching `first` is followed by one
// matching `second`, or npos.
template <typename First, typename Second>
std::size_t findPair(std::string_view text, First first, Second second) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (first(text[i]) && second(text[i + 1])) {
            return i;
        }
    }
    return std::string_view::npos;
}

// True when the text is a number whose exponent is still being typed (1E, 2.5e-, 3E+): read with
// the letter, or the letter and its sign, as digits, it would be numeric.
bool isExponentBeingTyped(std::string_view text, std::string_view decimalSeparator) {
    constexpr auto npos = std::string_view::npos;
    if (findPair(text, is('+'), is('+')) != npos || findPair(text, is('-'), is('-')) != npos ||
        findPair(text, is('+'), isExponentLetter) != npos) {
        return false;
    }
    std::string asDigits(text);
    if (const auto letterAndMinus = findPair(text, isExponentLetter, is('-'));
        letterAndMinus != npos) {
        asDigits.replace(letterAndMinus, 2, "11");
    } else if (const auto letterAndPlus = findPair(text, isExponentLetter, is('+'));
               letterAndPlus != npos) {
        asDigits.replace(letterAndPlus, 2, "11");
    } else {
        const auto letter = text.find_first_of("eE");
        if (letter == npos || letter == 0) {
            return false;
        }
        asDigits[letter] = '1';
    }
    return readNumber(asDigits, decimalSeparator).isNumeric();
}

}  // namespace

ConversionPanel::ConversionPanel(UnitFieldSurface& fields, MessageBoxes& messages,
                                 std::string decimalSeparator)
    : m_fields(fields), m_messages(messages), m_decimalSeparator(std::move(decimalSeparator)) {}

void ConversionPanel::fieldFocused(UnitField field) {
    m_activeField = field;
}

void ConversionPanel::fieldChanged(UnitField field) {
    if (m_activeField != field) {
        return;
    }
    const FieldRules& rules = rulesFor(field);
    const std::string text = m_fields.text(field);

    if (readNumber(text, m_decimalSeparator).isNumeric()) {
        if (IsInRange(text)) {
            for (const auto step : rules.chain) {
                if (!(this->*step)()) {
                    break;
                }
            }
        } else {
            ReportOutOfRange();
        }
    } else if (text.empty()) {
        emptyFields(m_fields, rules.emptiedOnPartialEntry);
        m_fields.setFocus(field);
    } else if (isStartOfNumber(text, m_decimalSeparator)) {
        emptyFields(m_fields, rules.emptiedOnPartialEntry);
    } else if (!isExponentBeingTyped(text, m_decimalSeparator)) {
        ReportNotNumeric();
    }
}

void ConversionPanel::FocusActiveField() {
    if (const auto field = ActiveTextBox()) {
        m_fields.setFocus(*field);
    }
}

void ConversionPanel::ClearAllFields() {
    for (const UnitField field :
         {UnitField::Celsius, UnitField::Fahrenheit, UnitField::Rankine, UnitField::Kelvin}) {
        m_fields.setText(field, {});
    }
    FocusActiveField();
}

bool ConversionPanel::IsInRange(std::string_view text) const {
    const NumberReading reading = readNumber(text, m_decimalSeparator);
    if (reading.kind != NumberReading::Kind::Number) {
        return false;  // beyond the double range, or not a number at all
    }
    const double x = reading.value;
    if (x > 0) {
        return x > kSmallestMagnitude && x < kLargestMagnitude;
    }
    if (x == 0) {
        return true;
    }
    return x > -kLargestMagnitude && x < -kSmallestMagnitude;
}

bool ConversionPanel::CelsiusToKelvin() {
    return convert(m_fields, m_decimalSeparator, kCelsiusToKelvin);
}
bool ConversionPanel::KelvinToCelsius() {
    return convert(m_fields, m_decimalSeparator, kKelvinToCelsius);
}
bool ConversionPanel::CelsiusToFahrenheit() {
    return convert(m_fields, m_decimalSeparator, kCelsiusToFahrenheit);
}
bool ConversionPanel::FahrenheitToCelsius() {
    return convert(m_fields, m_decimalSeparator, kFahrenheitToCelsius);
}
bool ConversionPanel::FahrenheitToRankine() {
    return convert(m_fields, m_decimalSeparator, kFahrenheitToRankine);
}
bool ConversionPanel::RankineToFahrenheit() {
    return convert(m_fields, m_decimalSeparator, kRankineToFahrenheit);
}

void ConversionPanel::ReportNotNumeric() {
    m_messages.show(kNotNumericMessage, version::kProgramTitle, MessageIcon::Information);
    if (const auto field = ActiveTextBox()) {
        emptyFields(m_fields, rulesFor(*field).emptiedWhenNotNumeric);
    }
}

void ConversionPanel::ReportOutOfRange() {
    ClearAllFields();
    m_messages.show(kOutOfRangeMessage, version::kProgramTitle, MessageIcon::Information);
}

}  // namespace tolvane
