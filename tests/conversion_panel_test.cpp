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
using U = UnitField;

constexpr auto C = U::Celsius;
constexpr auto K = U::Kelvin;
constexpr auto F = U::Fahrenheit;
constexpr auto R = U::Rankine;

using Texts = std::array<std::string, 4>;  // Celsius, Kelvin, Fahrenheit, Rankine

Event write(UnitField field, std::string text = {}) {
    return {Event::Kind::Write, field, std::move(text)};
}
Event focus(UnitField field) {
    return {Event::Kind::Focus, field, {}};
}

// --- The conversions, each from a value typed into the active field -----------------------

struct ConversionCase {
    const char* name;
    UnitField edited;
    std::string text;
    Texts expected;
};

class Conversions : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversions, FillTheOtherThreeFields) {
    PanelHarness h;
    const ConversionCase& c = GetParam();
    h.fields.click(c.edited);
    h.fields.edit(c.edited, c.text);
    EXPECT_EQ(h.fields.texts(), c.expected);
    EXPECT_TRUE(h.messages.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Conversions,
    ::testing::Values(
        ConversionCase{"FreezingCelsius", C, "0", {"0", "273.15", "32", "491.67"}},
        ConversionCase{"BodyTemperature", C, "37", {"37", "310.15", "98.6", "558.27"}},
        ConversionCase{"ScalesMeet", C, "-40", {"-40", "233.15", "-40", "419.67"}},
        ConversionCase{"AbsoluteZeroCelsius", C, "-273.15", {"-273.15", "0", "-459.67", "0"}},
        ConversionCase{"FeverInFahrenheit", F, "98.6", {"37", "310.15", "98.6", "558.27"}},
        // Kelvin comes from the rounded Celsius text, not from the full quotient.
        ConversionCase{
            "ZeroFahrenheit", F, "0", {"-17.7777777777778", "255.372222222222", "0", "459.67"}},
        ConversionCase{"AbsoluteZeroFahrenheit", F, "-459.67", {"-273.15", "0", "-459.67", "0"}},
        ConversionCase{"AbsoluteZeroKelvin", K, "0", {"-273.15", "0", "-459.67", "0"}},
        ConversionCase{"AbsoluteZeroRankine", R, "0", {"-273.15", "0", "-459.67", "0"}},
        ConversionCase{"NegativeKelvin", K, "-5", {"-278.15", "-5", "-468.67", "-9"}},
        ConversionCase{"NegativeRankine",
                       R,
                       "-10",
                       {"-278.705555555556", "-5.555555555556", "-469.67", "-10"}},
        ConversionCase{
            "ExponentForm",
            C,
            "1e15",
            {"1e15", "1.00000000000027E+15", "1.80000000000003E+15", "1.80000000000049E+15"}},
        ConversionCase{
            "OffsetLostInRounding", C, "1E+29", {"1E+29", "1E+29", "1.8E+29", "1.8E+29"}},
        ConversionCase{"SpacesAround", C, " 25 ", {" 25 ", "298.15", "77", "536.67"}},
        ConversionCase{"ResultsMayExceedTheLimits",
                       C,
                       "1.99E+30",
                       {"1.99E+30", "1.99E+30", "3.582E+30", "3.582E+30"}},
        ConversionCase{"JustAboveTheSmallest", C, "6E-30", {"6E-30", "273.15", "32", "491.67"}},
        ConversionCase{"NegativeZero", C, "-0", {"-0", "273.15", "32", "491.67"}},
        ConversionCase{"ZeroBeyondDoubles", C, "0E-400", {"0E-400", "273.15", "32", "491.67"}}),
    testing::CaseName());

TEST(ConversionRoutines, ReadTheirSourceTextAndWriteTheirTarget) {
    PanelHarness h;
    h.fields.setText(C, "-17.7777777777778");  // no field active: nothing converts by itself
    ASSERT_TRUE(h.panel.CelsiusToKelvin());
    EXPECT_EQ(h.fields.texts(), (Texts{"-17.7777777777778", "255.372222222222", "", ""}));

    h.fields.setText(R, "0");
    ASSERT_TRUE(h.panel.RankineToFahrenheit());
    EXPECT_EQ(h.fields.text(F), "-459.67");
    ASSERT_TRUE(h.panel.FahrenheitToCelsius());
    EXPECT_EQ(h.fields.text(C), "-273.15");
    ASSERT_TRUE(h.panel.KelvinToCelsius());
    EXPECT_EQ(h.fields.text(C), "-17.777777777778") << "the round trip loses a digit";

    h.fields.setText(R, "12a");
    EXPECT_FALSE(h.panel.RankineToFahrenheit());
    EXPECT_EQ(h.fields.text(F), "-459.67") << "nothing is written when the source is no number";
    h.fields.setText(K, "1e400");
    EXPECT_FALSE(h.panel.KelvinToCelsius());
    EXPECT_EQ(h.fields.text(C), "-17.777777777778");
}

// --- Keystroke by keystroke -----------------------------------------------------------------

enum class Outcome { Converted, Waiting, Rejected, OutOfRange };

struct Keystroke {
    char key;
    Outcome outcome;
    Texts after;  // Celsius, Kelvin, Fahrenheit, Rankine once the keystroke is handled
};

struct TypingCase {
    const char* name;
    UnitField field;
    std::vector<Keystroke> keys;
};

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, EachKeystrokeIsJudgedAtOnce) {
    PanelHarness h;
    const TypingCase& c = GetParam();
    h.fields.click(c.field);
    for (const Keystroke& key : c.keys) {
        h.messages.clear();
        h.fields.type(c.field, key.key);
        const std::string typed = h.fields.text(c.field);
        switch (key.outcome) {
            case Outcome::Converted:
            case Outcome::Waiting:
                EXPECT_TRUE(h.messages.shown().empty()) << typed;
                break;
            case Outcome::Rejected:
                ASSERT_EQ(h.messages.shown().size(), 1u) << typed;
                EXPECT_EQ(h.messages.shown()[0].text, kNotNumericMessage);
                break;
            case Outcome::OutOfRange:
                ASSERT_EQ(h.messages.shown().size(), 1u) << typed;
                EXPECT_EQ(h.messages.shown()[0].text, kOutOfRangeMessage);
                break;
        }
        EXPECT_EQ(h.fields.texts(), key.after) << "after typing " << typed;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Typing,
    ::testing::Values(
        TypingCase{"NegativeWithExponent",
                   C,
                   {{'-', Outcome::Waiting, {"-", "", "", ""}},
                    {'1', Outcome::Converted, {"-1", "272.15", "30.2", "489.87"}},
                    {'.', Outcome::Converted, {"-1.", "272.15", "30.2", "489.87"}},
                    {'5', Outcome::Converted, {"-1.5", "271.65", "29.3", "488.97"}},
                    {'E', Outcome::Waiting, {"-1.5E", "271.65", "29.3", "488.97"}},
                    {'+', Outcome::Waiting, {"-1.5E+", "271.65", "29.3", "488.97"}},
                    {'3', Outcome::Converted, {"-1.5E+3", "-1226.85", "-2668", "-2208.33"}}}},
        TypingCase{"TwoDigits",
                   C,
                   {{'2', Outcome::Converted, {"2", "275.15", "35.6", "495.27"}},
                    {'5', Outcome::Converted, {"25", "298.15", "77", "536.67"}}}},
        TypingCase{"SignThenDigit",
                   C,
                   {{'+', Outcome::Waiting, {"+", "", "", ""}},
                    {'.', Outcome::Waiting, {"+.", "", "", ""}},
                    {'5', Outcome::Converted, {"+.5", "273.65", "32.9", "492.57"}}}},
        TypingCase{"MinusThenFour",
                   C,
                   {{'-', Outcome::Waiting, {"-", "", "", ""}},
                    {'4', Outcome::Converted, {"-4", "269.15", "24.8", "484.47"}}}},
        TypingCase{"SmallExponent",
                   C,
                   {{'1', Outcome::Converted, {"1", "274.15", "33.8", "493.47"}},
                    {'E', Outcome::Waiting, {"1E", "274.15", "33.8", "493.47"}},
                    {'-', Outcome::Waiting, {"1E-", "274.15", "33.8", "493.47"}},
                    {'3', Outcome::Converted, {"1E-3", "273.151", "32.0018", "491.6718"}}}},
        TypingCase{"SecondExponentLetter",
                   K,
                   // Rankine adds to the rounded Fahrenheit text; -457.87 + 459.67 is not
                   // exactly 1.8 in doubles.
                   {{'1', Outcome::Converted, {"-272.15", "1", "-457.87", "1.80000000000001"}},
                    {'e', Outcome::Waiting, {"-272.15", "1e", "-457.87", "1.80000000000001"}},
                    {'5', Outcome::Converted, {"99726.85", "1e5", "179540.33", "180000"}},
                    {'e', Outcome::Rejected, {"", "1e5e", "", ""}}}},
        TypingCase{
            "DoublePlus",
            F,
            {{'1', Outcome::Converted, {"-17.2222222222222", "255.927777777778", "1", "460.67"}},
             {'+', Outcome::Rejected, {"", "", "1+", ""}},
             {'+', Outcome::Rejected, {"", "", "1++", ""}}}},
        TypingCase{
            "PlusBeforeLetter",
            R,
            // Kelvin from the rounded Celsius text: the subtraction cancels all but
            // the binary error of both operands.
            {{'1', Outcome::Converted, {"-272.594444444444", "0.555555555555998", "-458.67", "1"}},
             {'+', Outcome::Rejected, {"", "", "", "1+"}},
             {'E', Outcome::Rejected, {"", "", "", "1+E"}}}},
        TypingCase{"TooLarge",
                   C,
                   {{'2', Outcome::Converted, {"2", "275.15", "35.6", "495.27"}},
                    {'E', Outcome::Waiting, {"2E", "275.15", "35.6", "495.27"}},
                    {'3', Outcome::Converted, {"2E3", "2273.15", "3632", "4091.67"}},
                    {'0', Outcome::OutOfRange, {"", "", "", ""}}}}),
    testing::CaseName());

// --- Outcomes of whole texts -------------------------------------------------------------------

struct OutcomeCase {
    const char* name;
    std::string text;
    Outcome outcome;
};

class Outcomes : public ::testing::TestWithParam<OutcomeCase> {};

// Each text is entered into Celsius after 1 has been converted, so "waiting" can be told from
// "converted": only a conversion changes the other fields' texts.
TEST_P(Outcomes, OfAnEntry) {
    PanelHarness h;
    h.fields.click(C);
    h.fields.edit(C, "1");
    const Texts before = h.fields.texts();
    h.fields.edit(C, GetParam().text);

    const auto& shown = h.messages.shown();
    switch (GetParam().outcome) {
        case Outcome::Converted:
            EXPECT_TRUE(shown.empty());
            EXPECT_NE(h.fields.text(K), before[1]);
            EXPECT_NE(h.fields.text(K), "");
            break;
        case Outcome::Waiting:
            EXPECT_TRUE(shown.empty());
            EXPECT_TRUE(h.fields.text(K) == before[1] || h.fields.text(K).empty());
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

INSTANTIATE_TEST_SUITE_P(
    Texts, Outcomes,
    ::testing::Values(OutcomeCase{"Integer", "5", Outcome::Converted},
                      OutcomeCase{"TrailingPoint", "5.", Outcome::Converted},
                      OutcomeCase{"Zero", "0", Outcome::Converted},
                      OutcomeCase{"NegativeZero", "-0", Outcome::Converted},
                      OutcomeCase{"JustInside", "1.99E+30", Outcome::Converted},
                      OutcomeCase{"JustInsideSmall", "6E-30", Outcome::Converted},
                      OutcomeCase{"Minus", "-", Outcome::Waiting},
                      OutcomeCase{"Plus", "+", Outcome::Waiting},
                      OutcomeCase{"Point", ".", Outcome::Waiting},
                      OutcomeCase{"MinusPoint", "-.", Outcome::Waiting},
                      OutcomeCase{"PlusPoint", "+.", Outcome::Waiting},
                      OutcomeCase{"OpenExponent", "1E", Outcome::Waiting},
                      OutcomeCase{"OpenExponentLower", "1e", Outcome::Waiting},
                      OutcomeCase{"OpenExponentMinus", "1E-", Outcome::Waiting},
                      OutcomeCase{"OpenExponentPlus", "1e+", Outcome::Waiting},
                      OutcomeCase{"OpenFractionExponent", "2.5E-", Outcome::Waiting},
                      OutcomeCase{"LetterMinusFirst", "e-", Outcome::Waiting},
                      OutcomeCase{"LetterPlusFirst", "E+", Outcome::Waiting},
                      OutcomeCase{"BlankThenMinus", " -", Outcome::Rejected},
                      OutcomeCase{"MinusThenBlank", "- ", Outcome::Rejected},
                      OutcomeCase{"LetterAlone", "E", Outcome::Rejected},
                      OutcomeCase{"LowerLetterAlone", "e", Outcome::Rejected},
                      OutcomeCase{"LetterFirst", "e5", Outcome::Rejected},
                      OutcomeCase{"DoublePlus", "1++", Outcome::Rejected},
                      OutcomeCase{"DoubleMinus", "--1", Outcome::Rejected},
                      OutcomeCase{"PlusLetter", "1+e", Outcome::Rejected},
                      OutcomeCase{"PlusCapitalLetter", "1+E", Outcome::Rejected},
                      OutcomeCase{"SecondExponent", "1e5e", Outcome::Rejected},
                      OutcomeCase{"TrailingLetter", "12a", Outcome::Rejected},
                      OutcomeCase{"Comma", "1,5", Outcome::Rejected},
                      OutcomeCase{"Limit", "2E+30", Outcome::OutOfRange},
                      OutcomeCase{"NegativeLimit", "-2E+30", Outcome::OutOfRange},
                      OutcomeCase{"SmallLimit", "5E-30", Outcome::OutOfRange},
                      OutcomeCase{"NegativeSmallLimit", "-5E-30", Outcome::OutOfRange},
                      OutcomeCase{"BelowSmallLimit", "1E-31", Outcome::OutOfRange},
                      OutcomeCase{"BeyondDoubles", "1E+400", Outcome::OutOfRange},
                      OutcomeCase{"TooSmallForDoubles", "1E-400", Outcome::OutOfRange}),
    testing::CaseName());

// --- Active field, messages and the order of writes ----------------------------------------

TEST(ActiveField, NothingConvertsBeforeAnyFieldHadTheFocus) {
    PanelHarness h;
    h.fields.edit(C, "25");
    EXPECT_EQ(h.fields.texts(), (Texts{"25", "", "", ""}));
    EXPECT_EQ(h.panel.ActiveTextBox(), std::nullopt);

    h.panel.FocusActiveField();
    h.panel.ClearAllFields();
    EXPECT_EQ(h.fields.texts(), Texts{});
    EXPECT_EQ(h.fields.log(), (std::vector<Event>{write(C), write(F), write(R), write(K)}))
        << "written unconditionally, in this order, and no focus request";
    EXPECT_TRUE(h.messages.shown().empty());
}

TEST(ActiveField, ConvertedFieldsAreNotConvertedBack) {
    PanelHarness h;
    h.fields.click(F);
    h.fields.clearLog();
    h.fields.edit(F, "0");
    // One write per target; a nested conversion would have written again.
    EXPECT_EQ(h.fields.log(), (std::vector<Event>{write(R, "459.67"), write(C, "-17.7777777777778"),
                                                  write(K, "255.372222222222")}));
    EXPECT_EQ(h.panel.ActiveTextBox(), F);
}

TEST(ActiveField, FollowsTheLastFocusedField) {
    PanelHarness h;
    for (const UnitField field : kUnitFields) {
        h.fields.click(field);
        EXPECT_EQ(h.panel.ActiveTextBox(), field);
    }
    h.fields.loseFocus();  // a keypad button, a menu, a message box
    EXPECT_EQ(h.panel.ActiveTextBox(), R);
    h.fields.clearLog();
    h.panel.FocusActiveField();
    EXPECT_EQ(h.fields.log(), std::vector<Event>{focus(R)});
    EXPECT_EQ(h.fields.focus(), R);
}

TEST(ActiveField, ClearAllFieldsEmptiesEveryFieldThenFocusesTheActiveOne) {
    PanelHarness h;
    h.fields.click(K);
    h.fields.edit(K, "300");
    h.fields.loseFocus();
    h.fields.clearLog();
    h.panel.ClearAllFields();
    EXPECT_EQ(h.fields.texts(), Texts{});
    EXPECT_EQ(h.fields.focus(), K);
    EXPECT_TRUE(h.messages.shown().empty());
    // Emptying Kelvin, the active field, nests its own handling: it empties the others again
    // and asks for the focus.
    EXPECT_EQ(h.fields.log(), (std::vector<Event>{write(C), write(F), write(R), write(K), write(C),
                                                  write(F), write(R), focus(K), focus(K)}));
}

struct PartialEntryCase {
    const char* name;
    UnitField field;
    std::string text;
    std::vector<Event> writes;
};

class PartialEntry : public ::testing::TestWithParam<PartialEntryCase> {};

TEST_P(PartialEntry, EmptiesTheOtherFieldsInOrder) {
    PanelHarness h;
    const PartialEntryCase& c = GetParam();
    h.fields.click(c.field);
    h.fields.edit(c.field, "1");
    h.fields.loseFocus();
    h.fields.clearLog();
    h.fields.edit(c.field, c.text);
    EXPECT_EQ(h.fields.log(), c.writes);
    EXPECT_TRUE(h.messages.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, PartialEntry,
    ::testing::Values(
        PartialEntryCase{"CelsiusErased", C, "", {write(F), write(R), write(K), focus(C)}},
        PartialEntryCase{"KelvinErased", K, "", {write(C), write(F), write(R), focus(K)}},
        PartialEntryCase{"FahrenheitErased", F, "", {write(C), write(R), write(K), focus(F)}},
        PartialEntryCase{"RankineErased", R, "", {write(C), write(F), write(K), focus(R)}},
        PartialEntryCase{"CelsiusSign", C, "-", {write(F), write(R), write(K)}},
        PartialEntryCase{"FahrenheitPoint", F, ".", {write(C), write(R), write(K)}},
        PartialEntryCase{"RankineSignPoint", R, "+.", {write(C), write(F), write(K)}}),
    testing::CaseName());

struct NotNumericCase {
    const char* name;
    UnitField field;
    std::vector<Event> writesAfterMessage;
};

class NotNumeric : public ::testing::TestWithParam<NotNumericCase> {};

TEST_P(NotNumeric, ReportsThenEmptiesTheOtherFields) {
    PanelHarness h;
    const NotNumericCase& c = GetParam();
    h.fields.click(c.field);
    h.fields.edit(c.field, "12");
    const Texts converted = h.fields.texts();
    h.fields.clearLog();
    h.fields.edit(c.field, "12a");

    ASSERT_EQ(h.messages.shown().size(), 1u);
    const auto& shown = h.messages.shown()[0];
    EXPECT_EQ(shown.text, "Please enter a numeric value.");
    EXPECT_EQ(shown.title, "Varnel V.2.4");
    EXPECT_EQ(shown.icon, MessageIcon::Information);
    Texts whileShown = converted;
    whileShown[static_cast<std::size_t>(c.field) - 1] = "12a";
    EXPECT_EQ(shown.fieldsMeanwhile, whileShown) << "emptied only after the message";
    EXPECT_EQ(h.fields.log(), c.writesAfterMessage);
    EXPECT_EQ(h.fields.text(c.field), "12a");

    h.messages.clear();
    h.fields.edit(c.field, "12");  // erasing the letter converts again
    EXPECT_EQ(h.fields.texts(), converted);
    EXPECT_TRUE(h.messages.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, NotNumeric,
    ::testing::Values(NotNumericCase{"Celsius", C, {write(K), write(F), write(R)}},
                      NotNumericCase{"Kelvin", K, {write(C), write(F), write(R)}},
                      NotNumericCase{"Fahrenheit", F, {write(C), write(K), write(R)}},
                      NotNumericCase{"Rankine", R, {write(C), write(K), write(F)}}),
    testing::CaseName());

TEST(OutOfRange, ClearsEverythingAndFocusesTheFieldBeforeTheMessage) {
    for (const UnitField field : kUnitFields) {
        PanelHarness h;
        h.fields.click(field);
        h.fields.edit(field, "100");
        h.fields.loseFocus();
        h.fields.edit(field, "-2E+30");

        ASSERT_EQ(h.messages.shown().size(), 1u);
        const auto& shown = h.messages.shown()[0];
        EXPECT_EQ(shown.text, "The value you entered is either too large or too small.");
        EXPECT_EQ(shown.title, "Varnel V.2.4");
        EXPECT_EQ(shown.fieldsMeanwhile, Texts{});
        EXPECT_EQ(shown.focusMeanwhile, field);
        EXPECT_EQ(h.fields.texts(), Texts{});
        EXPECT_EQ(h.panel.ActiveTextBox(), field) << "messages never move the active field";
    }
}

TEST(OutOfRange, IsInRangeUsesStrictLimits) {
    PanelHarness h;
    EXPECT_TRUE(h.panel.IsInRange("0"));
    EXPECT_TRUE(h.panel.IsInRange("-0"));
    EXPECT_TRUE(h.panel.IsInRange("1.9999999999999E+30"));
    EXPECT_FALSE(h.panel.IsInRange("2E+30"));
    EXPECT_TRUE(h.panel.IsInRange("5.0000000000001E-30"));
    EXPECT_FALSE(h.panel.IsInRange("5E-30"));
    EXPECT_TRUE(h.panel.IsInRange("-5.0000000000001E-30"));
    EXPECT_FALSE(h.panel.IsInRange("-5E-30"));
    EXPECT_FALSE(h.panel.IsInRange("-2E+30"));
    EXPECT_FALSE(h.panel.IsInRange("1E+400"));
    EXPECT_FALSE(h.panel.IsInRange("abc"));
}

// --- A locale whose decimal separator is a comma ----------------------------------------------

TEST(CommaLocale, ReadsAndWritesWithTheSeparator) {
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
