// The conversion panel over in-memory fields, driven by a script of what a user does. No script
// crashes it or nests its handlers without bound; a field that is not active never causes work;
// what the user typed stays unless it was out of range; and after an in-range numeric entry the
// other three fields hold what the conversion formulas, applied in the chain's order to the
// rounded text of each step before, give for the value of the entered text.
//
// The script is one command a line; the first line is the decimal separator ("," or else ".").
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
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "conversion_panel.h"
#include "fake_fields.h"
#include "number_text.h"

namespace {

using tolvane::NumberReading;
using tolvane::UnitField;
using tolvane::testing::FakeFields;
using tolvane::testing::MessageRecorder;

// A program write re-enters the panel; each level of that nesting shows here.
constexpr int kDeepestNesting = 3;
// Writes and focus requests one user action may cause: a conversion chain, or ClearAllFields with
// the nested emptying of the other fields.
constexpr std::size_t kMostFieldOperations = 12;

class NestingFields : public FakeFields {
public:
    void setText(UnitField field, const std::string& text) override {
        const Level level(*this);
        FakeFields::setText(field, text);
    }
    void setFocus(UnitField field) override {
        const Level level(*this);
        FakeFields::setFocus(field);
    }
    int deepest() const { return m_deepest; }
    void resetDeepest() { m_deepest = 0; }

private:
    struct Level {
        explicit Level(NestingFields& fields) : m_fields(fields) {
            ++m_fields.m_depth;
            if (m_fields.m_depth > m_fields.m_deepest) {
                m_fields.m_deepest = m_fields.m_depth;
            }
            if (m_fields.m_depth > kDeepestNesting) {
                std::fprintf(stderr, "field writes nest %d deep\n", m_fields.m_depth);
                std::abort();
            }
        }
        ~Level() { --m_fields.m_depth; }
        NestingFields& m_fields;
    };

    int m_depth = 0;
    int m_deepest = 0;
};

void check(bool ok, const char* what, std::string_view line) {
    if (!ok) {
        std::fprintf(stderr, "%s, after \"%.*s\"\n", what, static_cast<int>(line.size()),
                     line.data());
        std::abort();
    }
}

std::size_t index(UnitField field) {
    return fieldIndex(field);
}

bool inRange(double x) {
    return x == 0 || (std::fabs(x) > 5E-30 && std::fabs(x) < 2E+30);
}

// The four texts an in-range entry of `value` into `entered` must leave, by the formulas:
// K = C + 273.15, C = K - 273.15, F = C * 1.8 + 32, C = (F - 32) / 1.8, R = F + 459.67,
// F = R - 459.67, each step reading the text the step before wrote.
std::array<std::string, 4> expectedTexts(UnitField entered, const std::string& text, double value,
                                         const std::string& separator) {
    const auto write = [&](double x) { return tolvane::writeNumber(x, separator); };
    const auto read = [&](const std::string& t) { return tolvane::readNumber(t, separator).value; };
    std::string c, k, f, r;
    switch (entered) {
        case UnitField::Celsius:
            c = text;
            k = write(value + 273.15);
            f = write(value * 1.8 + 32);
            r = write(read(f) + 459.67);
            break;
        case UnitField::Kelvin:
            k = text;
            c = write(value - 273.15);
            f = write(read(c) * 1.8 + 32);
            r = write(read(f) + 459.67);
            break;
        case UnitField::Fahrenheit:
            f = text;
            r = write(value + 459.67);
            c = write((value - 32) / 1.8);
            k = write(read(c) + 273.15);
            break;
        case UnitField::Rankine:
            r = text;
            f = write(value - 459.67);
            c = write((read(f) - 32) / 1.8);
            k = write(read(c) + 273.15);
            break;
    }
    return {c, k, f, r};
}

struct Panel {
    explicit Panel(std::string decimalSeparator)
        : separator(std::move(decimalSeparator)),
          messages(fields),
          panel(fields, messages, separator) {
        fields.attach(panel);
    }
    const std::string separator;
    NestingFields fields;
    MessageRecorder messages;
    tolvane::ConversionPanel panel;
};

// A user's change of one field's text, and what must follow from it.
void checkEntry(Panel& p, UnitField field, const std::string& newText, std::string_view line) {
    const auto before = p.fields.texts();
    const std::optional<UnitField> active = p.panel.ActiveTextBox();
    const std::string& separator = p.separator;
    p.fields.clearLog();
    p.messages.clear();

    p.fields.edit(field, newText);

    const auto after = p.fields.texts();
    const auto& shown = p.messages.shown();
    check(shown.size() <= 1, "more than one message for one change", line);
    if (active != field) {
        check(p.fields.log().empty() && shown.empty(), "a field that is not active caused work",
              line);
        return;
    }
    const NumberReading reading = tolvane::readNumber(newText, separator);
    const bool numeric = reading.isNumeric();
    const bool convertible = reading.kind == NumberReading::Kind::Number && inRange(reading.value);
    if (numeric && !convertible) {
        check(shown.size() == 1 && shown[0].text == tolvane::kOutOfRangeMessage,
              "no out-of-range message", line);
        check(shown[0].fieldsMeanwhile == std::array<std::string, 4>{},
              "fields not empty while the out-of-range message shows", line);
        check(after == std::array<std::string, 4>{}, "fields not empty after out of range", line);
        return;
    }
    check(after[index(field)] == newText, "the entered text was changed", line);
    if (convertible) {
        check(shown.empty(), "a message for a convertible entry", line);
        check(after == expectedTexts(field, newText, reading.value, separator),
              "the other fields disagree with the formulas", line);
        return;
    }
    if (!shown.empty()) {
        check(shown[0].text == tolvane::kNotNumericMessage, "the wrong message", line);
        auto meanwhile = before;
        meanwhile[index(field)] = newText;
        check(shown[0].fieldsMeanwhile == meanwhile,
              "the other fields changed before the message was dismissed", line);
    }
    for (const UnitField other : tolvane::kUnitFields) {
        check(other == field || after[index(other)].empty() ||
                  after[index(other)] == before[index(other)],
              "a field got a new text from an entry that does not convert", line);
    }
}

std::optional<UnitField> fieldNamed(char c) {
    if (c < '1' || c > '4') {
        return std::nullopt;
    }
    return static_cast<UnitField>(c - '0');
}

void run(Panel& p, std::string_view line) {
    if (line.empty()) {
        return;
    }
    const char command = line[0];
    if (command == 'L') {
        p.fields.loseFocus();
        return;
    }
    if (command == 'X') {
        p.panel.ClearAllFields();
        return;
    }
    if (command == 'A') {
        p.panel.FocusActiveField();
        return;
    }
    const std::optional<UnitField> field = line.size() >= 2 ? fieldNamed(line[1]) : std::nullopt;
    if (!field) {
        return;
    }
    const std::string_view argument = line.substr(2);
    std::string text = p.fields.text(*field);
    switch (command) {
        case 'F':
            p.fields.click(*field);
            return;
        case 'E':
            text = argument;
            break;
        case 'T':
            if (argument.size() != 1) {
                return;
            }
            text += argument[0];
            break;
        case 'B':
            if (text.empty()) {
                return;
            }
            text.pop_back();
            break;
        default:
            return;
    }
    checkEntry(p, *field, text, line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view script(reinterpret_cast<const char*>(data), size);
    const std::size_t firstEnd = script.find('\n');
    const std::string_view separatorLine = script.substr(0, firstEnd);
    Panel p(separatorLine == "," ? "," : ".");
    script = firstEnd == std::string_view::npos ? std::string_view{} : script.substr(firstEnd + 1);

    while (!script.empty()) {
        const std::size_t end = script.find('\n');
        const std::string_view line = script.substr(0, end);
        script = end == std::string_view::npos ? std::string_view{} : script.substr(end + 1);

        p.fields.clearLog();
        p.fields.resetDeepest();
        run(p, line);
        check(p.fields.log().size() <= kMostFieldOperations, "too many field operations", line);
    }
    return 0;
}
