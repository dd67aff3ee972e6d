#include "conversion_panel.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "case_name.h"
#include "fake_fields.h"

namespace tolvane {
namespace {

using testing::FakeFields;
using testing::PanelHarness;
using Event = FakeFields::Event;
using Texts = std::array<std::string, 4>;  // Celsius, Kelvin, Fahrenheit, Rankine

constexpr auto C = UnitField::Celsius;
constexpr auto K = UnitField::Kelvin;
constexpr auto F = UnitField::Fahrenheit;
constexpr auto R = UnitField::Rankine;

Event write(UnitField field, std::string text = {}) {
    return {Event::Kind::Write, field, text};
}
Event focus(UnitField field) {
    return {Event::Kind::Focus, field, {}};
}

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
    ConversionCase{"ZeroBeyondDoubles", C, "-0E-400", {"-0E-400", "273.15", "32", "491.67"}}),
    testing::CaseName());
// clang-format on

// --- Keystroke by keystroke ------------------------------------------------------------------

enum class Outcome { Converted, Waiting, Rejected, OutOfRange };

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
        const char* expected = key.outcome == Outcome::Rejected     ? kNotNumericMessage
                               : key.outcome == Outcome::OutOfRange ? kOutOfRangeMessage
                                                                    : nullptr;
        const std::string typed = h.fields.text(GetParam().field);
        ASSERT_EQ(h.messages.shown().size(), expected ? 1u : 0u) << typed;
        if (expected) {
            EXPECT_EQ(h.messages.shown()[0].text, expected);
        }
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

// --- Outcomes of whole texts, entered after 1 has been converted ----------------------------

struct OutcomeCase {
    const char* name;
    std::string text;
    Outcome outcome;
};

class Outcomes : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(Outcomes, OfAnEntry) {
    PanelHarness h;
    h.fields.click(C);
    h.fields.edit(C, "1");
    const std::string kelvinBefore = h.fields.text(K);
    h.fields.edit(C, GetParam().text);
    const auto& shown = h.messages.shown();
    switch (GetParam().outcome) {
        case Outcome::Converted:
            EXPECT_TRUE(shown.empty());
            EXPECT_NE(h.fields.text(K), kelvinBefore);
            break;
        case Outcome::Waiting:
            EXPECT_TRUE(shown.empty());
            EXPECT_TRUE(h.fields.text(K) == kelvinBefore || h.fields.text(K).empty());
            break;
        case Outcome::Rejected:
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, kNotNumericMessage);
            EXPECT_EQ(h.fields.text(C), GetParam().text) << "the rejected text stays";
            break;
        case Outcome::OutOfRange:
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, kOutOfRangeMessage);
            EXPECT_EQ(h.fields.texts(), Texts{});
            break;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, Outcomes, ::testing::Values(
    OutcomeCase{"NegativeZero", "-0", Outcome::Converted},
    OutcomeCase{"JustInsideSmall", "6E-30", Outcome::Converted},
    OutcomeCase{"MinusPoint", "-.", Outcome::Waiting},
    OutcomeCase{"Point", ".", Outcome::Waiting},
    OutcomeCase{"OpenExponentLower", "1e", Outcome::Waiting},
    OutcomeCase{"LetterMinusFirst", "e-", Outcome::Waiting},
    OutcomeCase{"BlankThenMinus", " -", Outcome::Rejected},
    OutcomeCase{"LetterAlone", "E", Outcome::Rejected},
    OutcomeCase{"PlusLetter", "1+e", Outcome::Rejected},
    OutcomeCase{"Limit", "2E+30", Outcome::OutOfRange},
    OutcomeCase{"NegativeLimit", "-2E+30", Outcome::OutOfRange},
    OutcomeCase{"SmallLimit", "5E-30", Outcome::OutOfRange},
    OutcomeCase{"NegativeSmallLimit", "-5E-30", Outcome::OutOfRange},
    OutcomeCase{"BeyondDoubles", "1E+400", Outcome::OutOfRange},
    OutcomeCase{"TooSmallForDoubles", "1E-400", Outcome::OutOfRange}),
    testing::CaseName());
// clang-format on

// --- The active field and the order of writes --------------------------------------------------

TEST(ActiveField, NothingConvertsBeforeAnyFieldHadTheFocus) {
    PanelHarness h;
    h.fields.edit(C, "25");
    EXPECT_EQ(h.fields.texts(), (Texts{"25", "", "", ""}));
    h.panel.ClearAllFields();
    EXPECT_EQ(h.fields.texts(), Texts{});
    EXPECT_EQ(h.fields.log(), (std::vector<Event>{write(C), write(F), write(R), write(K)}))
        << "written unconditionally, in this order, and no focus request";
}

TEST(ActiveField, ConvertedFieldsAreNotConvertedBack) {
    PanelHarness h;
    h.fields.click(F);
    h.fields.clearLog();
    h.fields.edit(F, "0");
    EXPECT_EQ(h.fields.log(), (std::vector<Event>{write(R, "459.67"), write(C, "-17.7777777777778"),
                                                  write(K, "255.372222222222")}));
}

TEST(ActiveField, ClearAllFieldsNestsTheActiveFieldsOwnHandling) {
    PanelHarness h;
    h.fields.click(K);
    h.fields.edit(K, "300");
    h.fields.loseFocus();  // to a keypad button
    h.fields.clearLog();
    h.panel.ClearAllFields();
    EXPECT_EQ(h.fields.texts(), Texts{});
    EXPECT_EQ(h.fields.focus(), K);
    // Emptying Kelvin empties the others again and asks for the focus, inside ClearAllFields.
    EXPECT_EQ(h.fields.log(), (std::vector<Event>{write(C), write(F), write(R), write(K), write(C),
                                                  write(F), write(R), focus(K), focus(K)}));
}

struct OrderCase {
    const char* name;
    UnitField field;
    std::string text;
    std::vector<Event> writes;
};

class WriteOrder : public ::testing::TestWithParam<OrderCase> {};

// The fields emptied by an empty or partial entry, and after "Please enter a numeric value."
TEST_P(WriteOrder, OfTheOtherFields) {
    PanelHarness h;
    h.fields.click(GetParam().field);
    h.fields.edit(GetParam().field, "12");
    const Texts converted = h.fields.texts();
    h.fields.loseFocus();
    h.fields.clearLog();
    h.fields.edit(GetParam().field, GetParam().text);
    EXPECT_EQ(h.fields.log(), GetParam().writes);
    if (GetParam().text == "12a") {
        ASSERT_EQ(h.messages.shown().size(), 1u);
        EXPECT_EQ(h.messages.shown()[0].title, "Varnel V.2.4");
        EXPECT_EQ(h.messages.shown()[0].icon, MessageIcon::Information);
        Texts whileShown = converted;
        whileShown[static_cast<std::size_t>(GetParam().field) - 1] = "12a";
        EXPECT_EQ(h.messages.shown()[0].fieldsMeanwhile, whileShown) << "emptied only after";
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fields, WriteOrder, ::testing::Values(
    OrderCase{"CelsiusErased", C, "", {write(F), write(R), write(K), focus(C)}},
    OrderCase{"KelvinErased", K, "", {write(C), write(F), write(R), focus(K)}},
    OrderCase{"FahrenheitSign", F, "-", {write(C), write(R), write(K)}},
    OrderCase{"RankineSignPoint", R, "+.", {write(C), write(F), write(K)}},
    OrderCase{"CelsiusNotNumeric", C, "12a", {write(K), write(F), write(R)}},
    OrderCase{"KelvinNotNumeric", K, "12a", {write(C), write(F), write(R)}},
    OrderCase{"FahrenheitNotNumeric", F, "12a", {write(C), write(K), write(R)}},
    OrderCase{"RankineNotNumeric", R, "12a", {write(C), write(K), write(F)}}),
    testing::CaseName());
// clang-format on

TEST(OutOfRange, ClearsEverythingAndFocusesTheFieldBeforeTheMessage) {
    for (const UnitField field : kUnitFields) {
        PanelHarness h;
        h.fields.click(field);
        h.fields.edit(field, "100");
        h.fields.loseFocus();
        h.fields.edit(field, "-2E+30");
        ASSERT_EQ(h.messages.shown().size(), 1u);
        EXPECT_EQ(h.messages.shown()[0].fieldsMeanwhile, Texts{});
        EXPECT_EQ(h.messages.shown()[0].focusMeanwhile, field);
        EXPECT_EQ(h.panel.ActiveTextBox(), field) << "messages never move the active field";
    }
}

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
