#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "conversion_panel.h"

namespace tolvane::testing {

// Four in-memory fields that behave like the program's line edits: a write that changes the
// text re-enters the panel's change handling before it returns, and a focus request on a field
// without the focus raises its focus handler.
struct FakeFields : UnitFieldSurface {
    std::string text(UnitField field) const override { return texts[fieldIndex(field)]; }
    void setText(UnitField field, const std::string& text) override {
        log.emplace_back(field, text);
        if (texts[fieldIndex(field)] != text) {
            texts[fieldIndex(field)] = text;
            panel->fieldChanged(field);
        }
    }
    void setFocus(UnitField field) override {
        log.emplace_back(field, std::string());
        if (focus != field) {
            focus = field;
            panel->fieldFocused(field);
        }
    }

    // What the user does; the focus leaving the fields (to a keypad button) is focus.reset().
    void click(UnitField field) {
        focus = field;
        panel->fieldFocused(field);
    }
    void edit(UnitField field, const std::string& text) {
        texts[fieldIndex(field)] = text;
        panel->fieldChanged(field);
    }

    ConversionPanel* panel = nullptr;
    std::array<std::string, 4> texts;
    std::optional<UnitField> focus;
    // Every write and focus request, in order: the field and the text written (empty for a focus).
    std::vector<std::pair<UnitField, std::string>> log;
};

// A panel over fake fields, as most tests want it, that records each message box with what the
// four fields and the focus were while it was shown.
struct PanelHarness : MessageBoxes {
    struct Shown {
        std::string text;
        std::string title;
        MessageIcon icon;
        std::array<std::string, 4> fieldsMeanwhile;
        std::optional<UnitField> focusMeanwhile;
    };

    explicit PanelHarness(std::string decimalSeparator = ".")
        : separator(std::move(decimalSeparator)), panel(fields, *this, separator) {
        fields.panel = &panel;
    }
    void show(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon, fields.texts, fields.focus});
    }

    const std::string separator;
    FakeFields fields;
    std::vector<Shown> shown;
    ConversionPanel panel;
};

}  // namespace tolvane::testing
