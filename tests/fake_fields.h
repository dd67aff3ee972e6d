#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "conversion_panel.h"

namespace tolvane::testing {

using Texts = std::array<std::string, 4>;  // Celsius, Kelvin, Fahrenheit, Rankine

// A panel over four in-memory fields that behave like the program's line edits: a write that
// changes the text re-enters the panel's change handling before it returns, and a focus request
// on a field without the focus raises its focus handler. Each message box is recorded with what
// the four fields and the focus were while it was shown.
struct PanelHarness : UnitFieldSurface, MessageBoxes {
    struct Shown {
        std::string text;
        std::string title;
        MessageIcon icon;
        Texts fieldsMeanwhile;
        std::optional<UnitField> focusMeanwhile;
        bool operator==(const Shown&) const = default;
    };

    explicit PanelHarness(std::string decimalSeparator = ".")
        : separator(std::move(decimalSeparator)), panel(*this, *this, separator) {}

    std::string text(UnitField field) const override { return texts[fieldIndex(field)]; }
    void setText(UnitField field, const std::string& text) override {
        log.emplace_back(field, text);
        if (texts[fieldIndex(field)] != text) {
            texts[fieldIndex(field)] = text;
            panel.fieldChanged(field);
        }
    }
    void setFocus(UnitField field) override {
        log.emplace_back(field, std::string());
        if (focus != field) {
            focus = field;
            panel.fieldFocused(field);
        }
    }
    void show(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon, texts, focus});
    }

    // What the user does; the focus leaving the fields (to a keypad button) is focus.reset().
    void click(UnitField field) {
        focus = field;
        panel.fieldFocused(field);
    }
    void edit(UnitField field, const std::string& text) {
        texts[fieldIndex(field)] = text;
        panel.fieldChanged(field);
    }

    const std::string separator;
    Texts texts;
    std::optional<UnitField> focus;
    // Every write and focus request, in order: the field and the text written (empty for a focus).
    std::vector<std::pair<UnitField, std::string>> log;
    std::vector<Shown> shown;
    ConversionPanel panel;
};

}  // namespace tolvane::testing
