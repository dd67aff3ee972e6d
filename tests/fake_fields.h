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
// without the focus raises its focus handler. Every write and focus request is logged in order,
// as the field and the text written (empty for a focus request).
class FakeFields : public UnitFieldSurface {
public:
    void attach(ConversionPanel& panel) { m_panel = &panel; }

    std::string text(UnitField field) const override { return m_texts[fieldIndex(field)]; }
    void setText(UnitField field, const std::string& text) override {
        m_log.emplace_back(field, text);
        if (m_texts[fieldIndex(field)] == text) {
            return;
        }
        m_texts[fieldIndex(field)] = text;
        m_panel->fieldChanged(field);
    }
    void setFocus(UnitField field) override {
        m_log.emplace_back(field, std::string());
        if (m_focus == field) {
            return;
        }
        m_focus = field;
        m_panel->fieldFocused(field);
    }

    // What the user does.
    void click(UnitField field) {
        m_focus = field;
        m_panel->fieldFocused(field);
    }
    void edit(UnitField field, const std::string& text) {
        m_texts[fieldIndex(field)] = text;
        m_panel->fieldChanged(field);
    }
    void loseFocus() { m_focus.reset(); }

    std::optional<UnitField> focus() const { return m_focus; }
    std::array<std::string, 4> texts() const { return m_texts; }
    const std::vector<std::pair<UnitField, std::string>>& log() const { return m_log; }
    void clearLog() { m_log.clear(); }

private:
    ConversionPanel* m_panel = nullptr;
    std::array<std::string, 4> m_texts;
    std::optional<UnitField> m_focus;
    std::vector<std::pair<UnitField, std::string>> m_log;
};

// Records each message box, with what the four fields and the focus were while it was shown.
class MessageRecorder : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string title;
        MessageIcon icon;
        std::array<std::string, 4> fieldsMeanwhile;
        std::optional<UnitField> focusMeanwhile;
    };

    explicit MessageRecorder(const FakeFields& fields) : m_fields(fields) {}

    void show(const std::string& text, const std::string& title, MessageIcon icon) override {
        m_shown.push_back({text, title, icon, m_fields.texts(), m_fields.focus()});
    }

    const std::vector<Shown>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

private:
    const FakeFields& m_fields;
    std::vector<Shown> m_shown;
};

// A panel over fake fields, as most tests want it.
struct PanelHarness {
    explicit PanelHarness(std::string decimalSeparator = ".")
        : separator(std::move(decimalSeparator)),
          messages(fields),
          panel(fields, messages, separator) {
        fields.attach(panel);
    }
    const std::string separator;
    FakeFields fields;
    MessageRecorder messages;
    ConversionPanel panel;
};

}  // namespace tolvane::testing
