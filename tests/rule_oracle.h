#pragma once

// The number form and the conversion panel's rules, written from their description rather than
// from the code, for the tests and the fuzzers to judge the program by. Nothing here asks
// readNumber or IsInRange: strtod, in the "C" locale that nothing here changes, reads the numbers.
// A script is one command a line; the first line is the decimal separator ("," or else "."):
//   F<n>     the user clicks field n (1 Celsius, 2 Kelvin, 3 Fahrenheit, 4 Rankine)
//   E<n>abc  the user replaces the text of field n by "abc"
//   T<n>c    the user types the character c at the end of field n
//   B<n>     the user erases the last character of field n
//   L        the focus leaves the fields (to a keypad button)
//   X        the Clear button: ClearAllFields
//   A        FocusActiveField
// Unknown lines are skipped.
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fake_fields.h"
#include "number_text.h"
#include "tolvane_version.h"

namespace tolvane::oracle {

using testing::Texts;
constexpr const char* kTitle = version::kProgramTitle;  // of every message box

// The number a text spells: leading spaces, an optional sign, digits with at most one separator
// and at least one digit, an optional exponent (e or E, optional sign, digits), trailing spaces.
struct Spelled {
    double value;  // strtod's: infinite, or zero, when beyond what a double holds
    bool zero;     // no digit of the mantissa is other than 0
    bool beyondDoubles() const { return std::isinf(value) || (value == 0 && !zero); }
    bool inRange() const { return zero || (std::fabs(value) > 5E-30 && std::fabs(value) < 2E+30); }
};

// Only characters a number has go to strtod, with the trailing spaces cut off, and strtod has to
// take all of them: that leaves out its hexadecimal, infinities and other blanks, and keeps
// exactly the form above. strtod itself skips the leading spaces.
inline std::optional<Spelled> spelled(std::string_view text, std::string_view separator) {
    text = text.substr(0, text.find_last_not_of(' ') + 1);  // blanks alone: nothing
    std::string plain;
    for (std::size_t i = 0; i < text.size();) {
        if (!separator.empty() && text.substr(i, separator.size()) == separator) {
            plain += '.';
            i += separator.size();
        } else if (std::string_view("0123456789+-eE ").find(text[i]) != std::string_view::npos) {
            plain += text[i++];
        } else {
            return std::nullopt;
        }
    }
    char* end = nullptr;
    const double value = std::strtod(plain.c_str(), &end);
    if (plain.empty() || end != plain.c_str() + plain.size()) {
        return std::nullopt;
    }
    const std::string_view mantissa = std::string_view(plain).substr(0, plain.find_first_of("eE"));
    return Spelled{value, mantissa.find_first_of("123456789") == std::string_view::npos};
}

// What an entry into the active field is, and so what the panel must do with it. Only for texts
// the rules leave open (Unsure) are there two outcomes: rejected, or waiting for more.
enum class Entry { Converted, OutOfRange, Erased, Started, OpenExponent, Rejected, Unsure };

inline Entry classify(std::string_view text, const std::string& separator) {
    if (const auto number = spelled(text, separator)) {
        return number->inRange() ? Entry::Converted : Entry::OutOfRange;
    }
    if (text.empty()) {
        return Entry::Erased;
    }
    // A sign or the separator alone, or a sign and the separator.
    if (text == "-" || text == "+" || text == separator || text == "-" + separator ||
        text == "+" + separator) {
        return Entry::Started;
    }
    // A number without an exponent, then the exponent letter and perhaps its sign (1E, 2.5e-).
    std::string_view open = text.substr(0, text.find_last_not_of(' ') + 1);
    if (!open.empty() && (open.back() == '+' || open.back() == '-')) {
        open.remove_suffix(1);
    }
    const std::string_view mantissa = open.substr(0, open.find_first_of("eE"));
    if (mantissa.size() + 1 == open.size() && !mantissa.ends_with(' ') &&
        spelled(mantissa, separator)) {
        return Entry::OpenExponent;
    }
    // Texts no further typing turns into a number: a character no number has, blanks alone, a
    // doubled sign or a sign before the exponent letter.
    const auto has = [text](const char* part) { return text.find(part) != std::string_view::npos; };
    const bool foreign = text.find_first_not_of("0123456789+-eE " + separator) != text.npos;
    return foreign || text.find_first_not_of(' ') == text.npos || has("++") || has("--") ||
                   has("+e") || has("+E")
               ? Entry::Rejected
               : Entry::Unsure;
}

// The four texts once `text` in `field` has converted: the formulas applied in the order of the
// field's chain, each step to the value of the text the step before wrote. The program's writer
// writes them; the number text tests and fuzzer judge it on its own.
inline Texts converted(UnitField field, const std::string& text, const std::string& separator) {
    Texts t;
    t[fieldIndex(field)] = text;
    const auto step = [&](UnitField from, UnitField to, double (*formula)(double)) {
        const auto source = spelled(t[fieldIndex(from)], separator);
        t[fieldIndex(to)] = source ? writeNumber(formula(source->value), separator) : "unreadable";
    };
    constexpr auto C = UnitField::Celsius, K = UnitField::Kelvin, F = UnitField::Fahrenheit,
                   R = UnitField::Rankine;
    const auto toF = [](double c) { return c * 1.8 + 32; };
    const auto toR = [](double f) { return f + 459.67; };
    const auto fromF = [](double f) { return (f - 32) / 1.8; };
    const auto toK = [](double c) { return c + 273.15; };
    switch (field) {
        case C:
            step(C, K, toK), step(C, F, toF), step(F, R, toR);
            break;
        case K:
            step(K, C, [](double k) { return k - 273.15; }), step(C, F, toF), step(F, R, toR);
            break;
        case F:
            step(F, R, toR), step(F, C, fromF), step(C, K, toK);
            break;
        case R:
            step(R, F, [](double r) { return r - 459.67; }), step(F, C, fromF), step(C, K, toK);
            break;
    }
    return t;
}

// The user's change of `field` to `text`, judged: what went against the rules, or nullptr.
inline const char* enter(testing::PanelHarness& h, UnitField field, const std::string& text) {
    Texts edited = h.texts, othersEmpty;  // once the edit is in
    const std::optional<UnitField> focus = h.focus;
    const bool active = h.panel.ActiveTextBox() == field;
    h.log.clear();
    h.shown.clear();

    h.edit(field, text);

    if (!active) {
        return h.log.empty() && h.shown.empty() ? nullptr : "an inactive field caused work";
    }
    for (const auto& [written, writtenText] : h.log) {
        if (written == field && !writtenText.empty()) {
            return "a conversion wrote into the edited field";
        }
    }
    edited[fieldIndex(field)] = othersEmpty[fieldIndex(field)] = text;
    // The texts and the focus after the entry, and the one message shown on the way, if any (none
    // for no text), with the texts that were in the fields meanwhile and the focus already where
    // it ends. Messages never move the active field.
    const auto outcome = [&](const Texts& after, std::optional<UnitField> focusAfter,
                             const char* message = "", const Texts& meanwhile = {}) {
        const testing::PanelHarness::Shown box{message, kTitle, MessageIcon::Information, meanwhile,
                                               focusAfter};
        return h.shown == std::vector(*message != '\0' ? 1u : 0u, box) && h.texts == after &&
               h.focus == focusAfter && h.panel.ActiveTextBox() == field;
    };
    const auto waits = [&] { return outcome(edited, focus); };
    const auto rejects = [&] { return outcome(othersEmpty, focus, kNotNumericMessage, edited); };
    // What each kind of entry must have done; a kind without its case does not compile.
    const auto judged = [&](Entry entry) -> std::pair<bool, const char*> {
        switch (entry) {
            case Entry::Converted:
                return {outcome(converted(field, text, h.separator), focus), "not converted"};
            case Entry::OutOfRange:
                return {outcome({}, field, kOutOfRangeMessage), "not out of range"};
            case Entry::Erased:
                return {outcome({}, field), "not erased"};
            case Entry::Started:
                return {outcome(othersEmpty, focus), "not the start of a number"};
            case Entry::OpenExponent:
                return {waits(), "did not wait for the exponent"};
            case Entry::Rejected:
                return {rejects(), "not rejected"};
            case Entry::Unsure:
                return {waits() || rejects(), "neither rejected nor waiting"};
        }
        return {false, "an entry of no known kind"};
    };
    const auto [asTheRulesSay, fault] = judged(classify(text, h.separator));
    return asTheRulesSay ? nullptr : fault;
}

// One line of a script, judged: what went against the rules, or nullptr.
inline const char* run(testing::PanelHarness& h, std::string_view line) {
    const std::optional<UnitField> active = h.panel.ActiveTextBox();
    const std::optional<UnitField> focus = active ? active : h.focus;
    if (line == "L") {
        h.focus.reset();
    } else if (line == "X" || line == "A") {
        const Texts before = h.texts;
        h.shown.clear();
        line == "X" ? h.panel.ClearAllFields() : h.panel.FocusActiveField();
        const bool ok =
            h.focus == focus && h.shown.empty() && h.texts == (line == "X" ? Texts{} : before);
        return ok ? nullptr : "clearing or focusing the active field went wrong";
    }
    if (line.size() < 2 || line[1] < '1' || line[1] > '4') {
        return nullptr;
    }
    const auto field = static_cast<UnitField>(line[1] - '0');
    std::string text = h.text(field);
    if (line[0] == 'F') {
        h.click(field);
    } else if (line[0] == 'E') {
        return enter(h, field, std::string(line.substr(2)));
    } else if (line[0] == 'T' && line.size() == 3) {
        return enter(h, field, text + line[2]);
    } else if (line[0] == 'B' && !text.empty()) {
        text.pop_back();
        return enter(h, field, text);
    }
    return nullptr;
}

}  // namespace tolvane::oracle
