// Thousands of generated entries through the change handling, each judged by the test's own
// reading of the rules: a regular expression of the accepted number form, strtod for the value it
// spells, the range limits written out here, and the scales' own definitions for the results.
// Nothing here asks readNumber or IsInRange, so a fault in either shows as a disagreement.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <variant>
#include <vector>

#include "conversion_panel.h"
#include "fake_fields.h"

namespace tolvane {
namespace {

using Texts = std::array<std::string, 4>;  // Celsius, Kelvin, Fahrenheit, Rankine

std::size_t index(UnitField field) {
    return fieldIndex(field);
}

// The number form, written from the rules rather than from the reader: leading spaces, an
// optional sign, digits with at most one separator and at least one digit, an optional exponent
// (e or E, optional sign, at least one digit), trailing spaces.
class Oracle {
public:
    explicit Oracle(std::string separator)
        : m_separator(std::move(separator)),
          m_number(" *[+-]?" + mantissa() + "([eE][+-]?[0-9]+)? *"),
          m_openExponent(" *[+-]?" + mantissa() + "[eE][+-]? *") {}

    bool isNumber(const std::string& text) const { return std::regex_match(text, m_number); }

    // A number whose exponent has no digit yet (1E, 2.5e-, 3E+): still being typed.
    bool hasOpenExponent(const std::string& text) const {
        return std::regex_match(text, m_openExponent);
    }

    // A sign or the separator alone, or a sign and the separator.
    bool isStartOfNumber(const std::string& text) const {
        return text == "-" || text == "+" || text == m_separator || text == "-" + m_separator ||
               text == "+" + m_separator;
    }

    // Texts no amount of further typing turns into a number as they stand: a character that no
    // number has, blanks alone, or a doubled sign or a sign before the exponent letter.
    bool isNeverANumber(const std::string& text) const {
        const bool foreign =
            text.find_first_not_of("0123456789+-eE " + m_separator) != std::string::npos;
        const bool blanks = !text.empty() && text.find_first_not_of(' ') == std::string::npos;
        const bool badSigns =
            text.find("++") != std::string::npos || text.find("--") != std::string::npos ||
            text.find("+e") != std::string::npos || text.find("+E") != std::string::npos;
        return foreign || blanks || badSigns;
    }

    // The value of a text isNumber() accepts, by the C library in the "C" locale (no test here
    // calls setlocale), once the separator is a point. Beyond what a double holds, it is
    // infinite or zero.
    double value(const std::string& text) const {
        return std::strtod(withPoint(text).c_str(), nullptr);
    }

    // Zero, spelled with any exponent, or a magnitude strictly between 5E-30 and 2E+30. A value
    // too small for a double reads as zero but is not one.
    bool isInRange(const std::string& text) const {
        const std::string c = withPoint(text);
        const bool zero =
            c.substr(0, c.find_first_of("eE")).find_first_of("123456789") == std::string::npos;
        const double magnitude = std::fabs(value(text));
        return zero || (magnitude > 5E-30 && magnitude < 2E+30);
    }

private:
    std::string withPoint(std::string text) const {
        if (const auto at = text.find(m_separator); at != std::string::npos) {
            text.replace(at, m_separator.size(), ".");
        }
        return text;
    }

    std::string mantissa() const {
        std::string separator;
        for (const char c : m_separator) {
            separator += std::string("\\") + c;
        }
        return "([0-9]+(" + separator + "[0-9]*)?|" + separator + "[0-9]+)";
    }

    std::string m_separator;
    std::regex m_number;
    std::regex m_openExponent;
};

// The same temperature in all four scales, from the definitions of the scales.
std::array<double, 4> sameTemperature(UnitField field, double value) {
    const double celsius = field == UnitField::Celsius      ? value
                           : field == UnitField::Kelvin     ? value - 273.15
                           : field == UnitField::Fahrenheit ? (value - 32) / 1.8
                                                            : (value - 491.67) / 1.8;
    return {celsius, celsius + 273.15, celsius * 1.8 + 32, celsius * 1.8 + 491.67};
}

// What the user sees of one entry: each message with the fields while it was up, the fields
// afterwards, and where the focus is.
struct Seen {
    std::vector<std::pair<std::string, Texts>> messages;
    Texts fields;
    std::optional<UnitField> focus;
};

// What a field is expected to show: that exact text, or a number near that value.
using FieldExpectation = std::variant<std::string, double>;

struct Expected {
    std::vector<std::pair<std::string, Texts>> messages;
    std::array<FieldExpectation, 4> fields;
    std::optional<UnitField> focus;
};

bool fits(const Oracle& oracle, const std::string& text, const FieldExpectation& expected,
          double tolerance) {
    if (const auto* exact = std::get_if<std::string>(&expected)) {
        return text == *exact;
    }
    return oracle.isNumber(text) &&
           std::fabs(oracle.value(text) - std::get<double>(expected)) <= tolerance;
}

enum class Kind { Converted, OutOfRange, Erased, StartOfNumber, OpenExponent, Rejected, Other };

Kind classify(const Oracle& oracle, const std::string& text) {
    if (oracle.isNumber(text)) {
        return oracle.isInRange(text) ? Kind::Converted : Kind::OutOfRange;
    }
    if (text.empty()) {
        return Kind::Erased;
    }
    if (oracle.isStartOfNumber(text)) {
        return Kind::StartOfNumber;
    }
    if (oracle.hasOpenExponent(text)) {
        return Kind::OpenExponent;
    }
    return oracle.isNeverANumber(text) ? Kind::Rejected : Kind::Other;
}

// The outcomes the rules allow for `text` entered into `field`, which showed `before` (a
// conversion) and had lost the focus to a keypad button. Only for texts the oracle cannot place
// are there two: rejected, or waiting for more.
std::vector<Expected> allowedOutcomes(Kind kind, const Oracle& oracle, UnitField field,
                                      const std::string& text, const Texts& before) {
    Texts typedOverBefore = before;
    typedOverBefore[index(field)] = text;
    const auto exactly = [](const Texts& texts) {
        return std::array<FieldExpectation, 4>{texts[0], texts[1], texts[2], texts[3]};
    };
    Texts othersEmpty;
    othersEmpty[index(field)] = text;

    const Expected waiting{{}, exactly(typedOverBefore), std::nullopt};
    const Expected rejected{{{kNotNumericMessage, typedOverBefore}}, exactly(othersEmpty), {}};
    switch (kind) {
        case Kind::Converted: {
            const std::array<double, 4> values = sameTemperature(field, oracle.value(text));
            std::array<FieldExpectation, 4> fields{values[0], values[1], values[2], values[3]};
            fields[index(field)] = text;
            return {{{}, fields, std::nullopt}};
        }
        case Kind::OutOfRange:
            return {{{{kOutOfRangeMessage, Texts{}}}, exactly(Texts{}), field}};
        case Kind::Erased:
            return {{{}, exactly(Texts{}), field}};
        case Kind::StartOfNumber:
            return {{{}, exactly(othersEmpty), std::nullopt}};
        case Kind::OpenExponent:
            return {waiting};
        case Kind::Rejected:
            return {rejected};
        case Kind::Other:
            break;
    }
    return {rejected, waiting};
}

// Random characters from those numbers are made of and a few they are not, mostly short.
std::string soup(std::mt19937& random) {
    static const std::string alphabet = "01234567890123456789+-+-..,,eEeE  xa\t";
    const std::size_t length = std::uniform_int_distribution<std::size_t>(
        0, std::uniform_int_distribution<int>(0, 9)(random) == 0 ? 400 : 12)(random);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text += alphabet[pick(random)];
    }
    return text;
}

// Texts of the number form, many of them next to a range limit or spelling one exactly, often
// cut short as if still being typed.
std::string numberLike(std::mt19937& random, const std::string& separator) {
    const auto chance = [&random](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(random) < percent;
    };
    const auto digits = [&random](std::size_t most) {
        std::string text;
        const auto count = std::uniform_int_distribution<std::size_t>(1, most)(random);
        for (std::size_t i = 0; i < count; ++i) {
            text += char('0' + std::uniform_int_distribution<int>(0, 9)(random));
        }
        return text;
    };
    struct Spelling {
        const char* mantissa;  // '.' stands for the separator
        int exponent;
    };
    static constexpr Spelling kLimits[] = {{"2", 30},  {"20", 29},  {"0.2", 31},  {"2.000", 30},
                                           {"5", -30}, {"50", -31}, {"0.5", -29}, {"5.00", -30}};

    std::string text(std::uniform_int_distribution<std::size_t>(0, 2)(random), ' ');
    text += chance(30) ? "-" : chance(20) ? "+" : "";
    std::string mantissa;
    std::optional<int> exponent;
    if (chance(15)) {
        const Spelling& limit =
            kLimits[std::uniform_int_distribution<std::size_t>(0, std::size(kLimits) - 1)(random)];
        mantissa = limit.mantissa;
        if (const auto point = mantissa.find('.'); point != std::string::npos) {
            mantissa.replace(point, 1, separator);
        }
        exponent = limit.exponent;
    } else {
        mantissa = chance(10) ? separator + digits(4) : digits(3) + (chance(50) ? separator : "");
        mantissa += chance(60) ? digits(4) : "";
        if (chance(80)) {
            const int magnitude = chance(50) ? std::uniform_int_distribution<int>(28, 31)(random)
                                             : std::uniform_int_distribution<int>(0, 40)(random);
            exponent = chance(50) ? -magnitude : magnitude;
        }
    }
    text += mantissa;
    if (exponent) {
        text += chance(50) ? "E" : "e";
        text += *exponent < 0 ? "-" : chance(50) ? "+" : "";
        text += std::to_string(std::abs(*exponent));
    }
    text += std::string(std::uniform_int_distribution<std::size_t>(0, 2)(random), ' ');
    if (chance(30)) {
        text.resize(std::uniform_int_distribution<std::size_t>(0, text.size())(random));
    }
    return text;
}

TEST(RandomEntries, DoWhatTheRulesSay) {
    ASSERT_STREQ(std::localeconv()->decimal_point, ".") << "strtod must read the C locale";
    std::mt19937 random(4242);
    const std::array<Oracle, 2> oracles{Oracle("."), Oracle(",")};
    std::array<int, 7> seenKinds{};
    for (int i = 0; i < 20000; ++i) {
        const std::string separator = i % 2 == 0 ? "." : ",";
        const Oracle& oracle = oracles[static_cast<std::size_t>(i % 2)];
        const std::string text = i % 3 == 0 ? soup(random) : numberLike(random, separator);
        const UnitField field = kUnitFields[static_cast<std::size_t>(i / 2 % 4)];
        testing::PanelHarness h(separator);
        h.fields.click(field);
        h.fields.edit(field, "10");
        const Texts before = h.fields.texts();
        h.fields.loseFocus();
        h.fields.clearLog();

        h.fields.edit(field, text);

        Seen seen{{}, h.fields.texts(), h.fields.focus()};
        for (const auto& shown : h.messages.shown()) {
            seen.messages.emplace_back(shown.text, shown.fieldsMeanwhile);
        }
        const Kind kind = classify(oracle, text);
        ++seenKinds[static_cast<std::size_t>(kind)];
        // The rounding of each chained step to 15 digits, far below any wrong constant's effect.
        const double tolerance = 1e-9 * (2 * std::fabs(oracle.value(text)) + 1000);
        const auto matches = [&](const Expected& expected) {
            return seen.messages == expected.messages && seen.focus == expected.focus &&
                   std::ranges::all_of(kUnitFields, [&](UnitField f) {
                       return fits(oracle, seen.fields[index(f)], expected.fields[index(f)],
                                   tolerance);
                   });
        };
        ASSERT_TRUE(
            std::ranges::any_of(allowedOutcomes(kind, oracle, field, text, before), matches))
            << '"' << text << "\" in field " << int(field) << " with separator " << separator
            << " (kind " << int(kind) << "): " << ::testing::PrintToString(seen.messages) << ' '
            << ::testing::PrintToString(seen.fields);
        // A conversion never writes back into the field that was edited; only emptying does.
        ASSERT_TRUE(std::ranges::all_of(h.fields.log(), [&](const auto& event) {
            return event.field != field || event.text.empty();
        })) << text;
    }
    for (const int count : seenKinds) {
        EXPECT_GT(count, 100) << "every kind of entry must come up often, or the test says little";
    }
}

}  // namespace
}  // namespace tolvane
