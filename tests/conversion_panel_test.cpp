#include "conversion_panel.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "case_name.h"
#include "fake_fields.h"

namespace tolvane {
namespace {

using testing::PanelHarness;
using Texts = std::array<std::string, 4>;  // Celsius, Kelvin, Fahrenheit, Rankine

constexpr auto C = UnitField::Celsius;
constexpr auto K = UnitField::Kelvin;
constexpr auto F = UnitField::Fahrenheit;
constexpr auto R = UnitField::Rankine;

// --- Conversions: each later step reads the rounded text the step before it wrote ----------

struct ConversionCase {
    const char* name;
    UnitField edited;
    std::string text;
    Texts expected;
};

class Conversions : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversions, FillTheOtherThreeFields) {
    PanelHarness h;
    h.fields.click(GetParam().edited);
    h.fields.edit(GetParam().edited, GetParam().text);
    EXPECT_EQ(h.fields.texts(), GetParam().expected);
    EXPECT_TRUE(h.messages.shown().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Conversions, ::testing::Values(
    ConversionCase{"BodyTemperature", C, "37", {"37", "310.15", "98.6", "558.27"}},
    ConversionCase{"ScalesMeet", C, "-40", {"-40", "233.15", "-40", "419.67"}},
    ConversionCase{"AbsoluteZeroCelsius", C, "-273.15", {"-273.15", "0", "-459.67", "0"}},
    ConversionCase{"FeverInFahrenheit", F, "98.6", {"37", "310.15", "98.6", "558.27"}},
    ConversionCase{"ZeroFahrenheit", F, "0", {"-17.7777777777778", "255.372222222222", "0", "459.67"}},
    ConversionCase{"AbsoluteZeroKelvin", K, "0", {"-273.15", "0", "-459.67", "0"}},
    ConversionCase{"AbsoluteZeroRankine", R, "0", {"-273.15", "0", "-459.67", "0"}},
    ConversionCase{"NegativeKelvin", K, "-5", {"-278.15", "-5", "-468.67", "-9"}},
    ConversionCase{"NegativeRankine", R, "-10", {"-278.705555555556", "-5.555555555556", "-469.67", "-10"}},
    ConversionCase{"ExponentForm", C, "1e15", {"1e15", "1.00000000000027E+15", "1.80000000000003E+15", "1.80000000000049E+15"}},
    ConversionCase{"OffsetLostInRounding", C, "1E+29", {"1E+29", "1E+29", "1.8E+29", "1.8E+29"}},
    ConversionCase{"SpacesAround", C, " 25 ", {" 25 ", "298.15", "77", "536.67"}},
    ConversionCase{"ResultsMayExceedTheLimits", C, "1.99E+30", {"1.99E+30", "1.99E+30", "3.582E+30", "3.582E+30"}},
    ConversionCase{"NegativeLimitNotReached", K, "-1.99E+30", {"-1.99E+30", "-1.99E+30", "-3.582E+30", "-3.582E+30"}},
    ConversionCase{"JustAboveTheSmallLimit", C, "6E-30", {"6E-30", "273.15", "32", "491.67"}},
    ConversionCase{"JustBelowTheNegativeSmallLimit", F, "-6E-30", {"-17.7777777777778", "255.372222222222", "-6E-30", "459.67"}},
    ConversionCase{"NegativeZero", C, "-0", {"-0", "273.15", "32", "491.67"}},
    ConversionCase{"ZeroBeyondDoubles", C, "-0E-400", {"-0E-400", "273.15", "32", "491.67"}}),
    testing::CaseName());
// clang-format on

// --- Keystroke by keystroke ------------------------------------------------------------------

enum class Outcome { Converted, Waiting, Rejected, OutOfRange };

std::vector<std::string> messageTexts(const PanelHarness& h) {
    std::vector<std::string> texts;
    for (const auto& shown : h.messages.shown()) {
        texts.push_back(shown.text);
    }
    return texts;
}

std::vector<std::string> expectedMessages(Outcome outcome) {
    switch (outcome) {
        case Outcome::Rejected:
            return {kNotNumericMessage};
        case Outcome::OutOfRange:
            return {kOutOfRangeMessage};
        case Outcome::Converted:
        case Outcome::Waiting:
            break;
    }
    return {};
}

struct Keystroke {
    char key;
    Outcome outcome;
    Texts after;
};

struct TypingCase {
    const char* name;
    UnitField field;
    std::vector<Keystroke> keys;
};

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, EachKeystrokeIsJudgedAtOnce) {
    PanelHarness h;
    h.fields.click(GetParam().field);
    for (const Keystroke& key : GetParam().keys) {
        h.messages.clear();
        h.fields.type(GetParam().field, key.key);
        const std::string typed = h.fields.text(GetParam().field);
        EXPECT_EQ(messageTexts(h), expectedMessages(key.outcome)) << "after typing " << typed;
        EXPECT_EQ(h.fields.texts(), key.after) << "after typing " << typed;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sequences, Typing, ::testing::Values(
    TypingCase{"NegativeWithExponent", C, {
        {'-', Outcome::Waiting, {"-", "", "", ""}},
        {'1', Outcome::Converted, {"-1", "272.15", "30.2", "489.87"}},
        {'.', Outcome::Converted, {"-1.", "272.15", "30.2", "489.87"}},
        {'5', Outcome::Converted, {"-1.5", "271.65", "29.3", "488.97"}},
        {'E', Outcome::Waiting, {"-1.5E", "271.65", "29.3", "488.97"}},
        {'+', Outcome::Waiting, {"-1.5E+", "271.65", "29.3", "488.97"}},
        {'3', Outcome::Converted, {"-1.5E+3", "-1226.85", "-2668", "-2208.33"}}}},
    TypingCase{"SignPointDigit", C, {
        {'+', Outcome::Waiting, {"+", "", "", ""}},
        {'.', Outcome::Waiting, {"+.", "", "", ""}},
        {'5', Outcome::Converted, {"+.5", "273.65", "32.9", "492.57"}}}},
    TypingCase{"SmallExponent", C, {
        {'1', Outcome::Converted, {"1", "274.15", "33.8", "493.47"}},
        {'E', Outcome::Waiting, {"1E", "274.15", "33.8", "493.47"}},
        {'-', Outcome::Waiting, {"1E-", "274.15", "33.8", "493.47"}},
        {'3', Outcome::Converted, {"1E-3", "273.151", "32.0018", "491.6718"}}}},
    // Rankine adds to the rounded Fahrenheit text: -457.87 + 459.67 is not 1.8 in doubles.
    TypingCase{"SecondExponentLetter", K, {
        {'1', Outcome::Converted, {"-272.15", "1", "-457.87", "1.80000000000001"}},
        {'e', Outcome::Waiting, {"-272.15", "1e", "-457.87", "1.80000000000001"}},
        {'5', Outcome::Converted, {"99726.85", "1e5", "179540.33", "180000"}},
        {'e', Outcome::Rejected, {"", "1e5e", "", ""}}}},
    TypingCase{"PlusBeforeLetter", R, {
        {'1', Outcome::Converted, {"-272.594444444444", "0.555555555555998", "-458.67", "1"}},
        {'+', Outcome::Rejected, {"", "", "", "1+"}},
        {'E', Outcome::Rejected, {"", "", "", "1+E"}}}},
    TypingCase{"TooLarge", C, {
        {'2', Outcome::Converted, {"2", "275.15", "35.6", "495.27"}},
        {'E', Outcome::Waiting, {"2E", "275.15", "35.6", "495.27"}},
        {'3', Outcome::Converted, {"2E3", "2273.15", "3632", "4091.67"}},
        {'0', Outcome::OutOfRange, {"", "", "", ""}}}}),
    testing::CaseName());
// clang-format on

// --- Whole texts, each entered into Celsius after 1 has been converted ------------------------

const Texts kOneConverted{"1", "274.15", "33.8", "493.47"};

class EntryAfterOne : public ::testing::TestWithParam<std::string> {
protected:
    EntryAfterOne() {
        h.fields.click(C);
        h.fields.edit(C, "1");
    }
    void enter() { h.fields.edit(C, GetParam()); }
    PanelHarness h;
};

// A sign or a separator alone, or both: the number has not begun, so what the others showed
// no longer holds.
class StartOfNumber : public EntryAfterOne {};

TEST_P(StartOfNumber, EmptiesTheOthersSilently) {
    enter();
    EXPECT_EQ(messageTexts(h), std::vector<std::string>{});
    EXPECT_EQ(h.fields.texts(), (Texts{GetParam(), "", "", ""}));
}

INSTANTIATE_TEST_SUITE_P(Texts, StartOfNumber, ::testing::Values("-", "+", ".", "-.", "+."));

// A number whose exponent is still being typed: the others keep what they showed.
class ExponentBeingTyped : public EntryAfterOne {};

TEST_P(ExponentBeingTyped, KeepsTheOthers) {
    enter();
    EXPECT_EQ(messageTexts(h), std::vector<std::string>{});
    Texts expected = kOneConverted;
    expected[0] = GetParam();
    EXPECT_EQ(h.fields.texts(), expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ExponentBeingTyped,
                         ::testing::Values("1e", "1E", "1E-", "1e+", "2.5E-", "e-", "E+"));

class Rejected : public EntryAfterOne {};

TEST_P(Rejected, StaysWithTheOthersEmptied) {
    enter();
    EXPECT_EQ(messageTexts(h), std::vector<std::string>{kNotNumericMessage});
    EXPECT_EQ(h.fields.texts(), (Texts{GetParam(), "", "", ""}));
}

INSTANTIATE_TEST_SUITE_P(Texts, Rejected,
                         ::testing::Values(" -", "- ", "E", "e", "e5", "1++", "--1", "1+e", "1+E",
                                           "1e5e", "12a", " ", "1,5"));

class OutOfRange : public EntryAfterOne {};

TEST_P(OutOfRange, EmptiesEveryField) {
    enter();
    EXPECT_EQ(messageTexts(h), std::vector<std::string>{kOutOfRangeMessage});
    EXPECT_EQ(h.fields.texts(), Texts{});
}

INSTANTIATE_TEST_SUITE_P(Texts, OutOfRange,
                         ::testing::Values("2E+30", "-2E+30", "5E-30", "-5E-30", "1E-31", "1E+400",
                                           "1E-400"));

// --- What each field's entry does to the other three -------------------------------------------

class EveryField : public ::testing::TestWithParam<UnitField> {
protected:
    // The field holds 12, converted, and the focus has gone to a keypad button.
    EveryField() {
        h.fields.click(field);
        h.fields.edit(field, "12");
        converted = h.fields.texts();
        h.fields.loseFocus();
    }
    Texts onlyEdited(const std::string& text) const {
        Texts texts;
        texts[index()] = text;
        return texts;
    }
    std::size_t index() const { return fieldIndex(field); }

    const UnitField field = GetParam();
    PanelHarness h;
    Texts converted;
};

TEST_P(EveryField, ErasedEmptiesTheOthersAndTakesTheFocusBack) {
    h.fields.edit(field, "");
    EXPECT_EQ(h.fields.texts(), Texts{});
    EXPECT_EQ(h.fields.focus(), field);
    EXPECT_TRUE(h.messages.shown().empty());
}

TEST_P(EveryField, SignEmptiesTheOthersAndLeavesTheFocusAlone) {
    h.fields.edit(field, "-");
    EXPECT_EQ(h.fields.texts(), onlyEdited("-"));
    EXPECT_EQ(h.fields.focus(), std::nullopt);
    EXPECT_TRUE(h.messages.shown().empty());
}

// While the message is up the others still show the last conversion; after OK they are empty and
// the rejected text waits in its field to be corrected.
TEST_P(EveryField, RejectedTextEmptiesTheOthersOnlyAfterTheMessage) {
    h.fields.edit(field, "12a");
    ASSERT_EQ(h.messages.shown().size(), 1u);
    const auto& shown = h.messages.shown()[0];
    EXPECT_EQ(shown.text, kNotNumericMessage);
    EXPECT_EQ(shown.title, "Varnel V.2.4");
    EXPECT_EQ(shown.icon, MessageIcon::Information);
    Texts meanwhile = converted;
    meanwhile[index()] = "12a";
    EXPECT_EQ(shown.fieldsMeanwhile, meanwhile);
    EXPECT_EQ(h.fields.texts(), onlyEdited("12a"));
    EXPECT_EQ(h.fields.focus(), std::nullopt);

    h.fields.edit(field, "12");
    EXPECT_EQ(h.fields.texts(), converted);
}

// Before the message is shown, all four fields are empty and the edited one has the focus.
TEST_P(EveryField, OutOfRangeClearsEverythingBeforeTheMessage) {
    h.fields.edit(field, "-2E+30");
    ASSERT_EQ(h.messages.shown().size(), 1u);
    const auto& shown = h.messages.shown()[0];
    EXPECT_EQ(shown.text, kOutOfRangeMessage);
    EXPECT_EQ(shown.title, "Varnel V.2.4");
    EXPECT_EQ(shown.icon, MessageIcon::Information);
    EXPECT_EQ(shown.fieldsMeanwhile, Texts{});
    EXPECT_EQ(shown.focusMeanwhile, field);
    EXPECT_EQ(h.fields.texts(), Texts{});
    EXPECT_EQ(h.panel.ActiveTextBox(), field) << "messages never move the active field";
}

std::string fieldName(const ::testing::TestParamInfo<UnitField>& row) {
    constexpr std::array<const char*, 4> names = {"Celsius", "Kelvin", "Fahrenheit", "Rankine"};
    return names[fieldIndex(row.param)];
}

INSTANTIATE_TEST_SUITE_P(Fields, EveryField, ::testing::ValuesIn(kUnitFields), fieldName);

// --- The active field ---------------------------------------------------------------------------

TEST(ActiveField, NothingConvertsOrTakesTheFocusBeforeAnyFieldHadIt) {
    PanelHarness h;
    h.fields.edit(C, "25");
    EXPECT_EQ(h.fields.texts(), (Texts{"25", "", "", ""}));
    h.fields.edit(K, "12a");
    EXPECT_TRUE(h.messages.shown().empty());

    h.panel.ClearAllFields();
    EXPECT_EQ(h.fields.texts(), Texts{});
    EXPECT_EQ(h.fields.focus(), std::nullopt);
    h.panel.FocusActiveField();
    EXPECT_EQ(h.fields.focus(), std::nullopt);
}

class ClearAllFields : public ::testing::TestWithParam<std::string> {};

// Whether or not the active field had text to lose (when it had none, emptying it raises no
// change of its own), clearing gives it the focus back.
TEST_P(ClearAllFields, EmptiesAllFourAndFocusesTheActiveOne) {
    PanelHarness h;
    h.fields.click(K);
    h.fields.edit(K, GetParam());
    h.fields.edit(C, "5");  // not active: stays unconverted
    h.fields.loseFocus();

    h.panel.ClearAllFields();

    EXPECT_EQ(h.fields.texts(), Texts{});
    EXPECT_EQ(h.fields.focus(), K);
    EXPECT_TRUE(h.messages.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(ActiveFieldText, ClearAllFields, ::testing::Values("300", ""),
                         [](const ::testing::TestParamInfo<std::string>& row) {
                             return row.param.empty() ? "Empty" : "Number";
                         });

TEST(CommaLocale, ReadsWritesAndWaitsWithTheSeparator) {
    PanelHarness h(",");
    h.fields.click(C);
    for (const char* start : {",", "-,", "+,"}) {
        h.fields.edit(C, start);
        EXPECT_TRUE(h.messages.shown().empty()) << start << " is the start of a number";
    }
    h.fields.edit(C, "-,5");
    EXPECT_EQ(h.fields.texts(), (Texts{"-,5", "272,65", "31,1", "490,77"}));
    h.fields.edit(C, "1.5");
    EXPECT_EQ(h.messages.shown().size(), 1u);
}

}  // namespace
}  // namespace tolvane
