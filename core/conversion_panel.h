#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "message_boxes.h"
#include "unit_field.h"

namespace tolvane {

inline constexpr const char* kNotNumericMessage = "Please enter a numeric value.";
inline constexpr const char* kOutOfRangeMessage =
    "The value you entered is either too large or too small.";

// The conversion panel without its widgets: four field texts (the only store of a temperature),
// the field that last had the focus, and what a change of the active field's text does to the
// other three. Every change of a field that is not active is ignored, which is what keeps a
// conversion from being converted back.
class ConversionPanel {
public:
    ConversionPanel(UnitFieldSurface& fields, MessageBoxes& messages, std::string decimalSeparator);

    ConversionPanel(const ConversionPanel&) = delete;
    ConversionPanel& operator=(const ConversionPanel&) = delete;

    // Events from the fields.
    void fieldFocused(UnitField field);
    void fieldChanged(UnitField field);

    // The unit field that most recently received the focus, if any has.
    std::optional<UnitField> ActiveTextBox() const { return m_activeField; }
    void FocusActiveField();
    void ClearAllFields();

    bool IsInRange(std::string_view text) const;

    // The steps of the conversion chains. Each reads its source field's text and writes its
    // target's; false (and nothing written) when the source does not read as a number or the
    // result is not finite.
    bool CelsiusToKelvin();
    bool KelvinToCelsius();
    bool CelsiusToFahrenheit();
    bool FahrenheitToCelsius();
    bool FahrenheitToRankine();
    bool RankineToFahrenheit();

private:
    void ReportNotNumeric();
    void ReportOutOfRange();

    UnitFieldSurface& m_fields;
    MessageBoxes& m_messages;
    const std::string m_decimalSeparator;
    // The main window's ActiveField: kept here, with the behaviour that reads it.
    std::optional<UnitField> m_activeField;
};

}  // namespace tolvane
