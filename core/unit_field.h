#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace tolvane {

// The four unit fields, numbered in their top-to-bottom order on the conversion panel.
enum class UnitField { Celsius = 1, Kelvin = 2, Fahrenheit = 3, Rankine = 4 };

inline constexpr std::array<UnitField, 4> kUnitFields = {UnitField::Celsius, UnitField::Kelvin,
                                                         UnitField::Fahrenheit, UnitField::Rankine};

// The field's place in kUnitFields, and in every array kept in that order.
constexpr std::size_t fieldIndex(UnitField field) {
    return static_cast<std::size_t>(field) - 1;
}

// What the conversion panel needs of its four text fields. The program implements it over its
// line edits, the tests in memory; both behave alike:
// - setText re-enters ConversionPanel::fieldChanged for that field before it returns, whenever
//   the text really changes;
// - setFocus re-enters ConversionPanel::fieldFocused when the field did not have the focus.
class UnitFieldSurface {
public:
    virtual ~UnitFieldSurface() = default;
    virtual std::string text(UnitField field) const = 0;
    virtual void setText(UnitField field, const std::string& text) = 0;
    virtual void setFocus(UnitField field) = 0;
};

}  // namespace tolvane
