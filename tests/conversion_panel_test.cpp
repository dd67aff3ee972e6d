#include "conversion_panel.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>

#include "case_name.h"
#include "fake_fields.h"

namespace tolvane {
namespace {

using testing::PanelHarness;
using testing::Texts;

constexpr auto C = UnitField::Celsius, K = UnitField::Kelvin, F = UnitField::Fahrenheit,
               R = UnitField::Rankine;

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
    h.click(GetParam().edited);
    h.edit(GetParam().edited, GetParam().text);
    EXPECT_EQ(h.texts, GetParam().expected);
    EXPECT_TRUE(h.shown.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Conversions, ::testing::Values(
    ConversionCase{"BodyTemperature", C, "37", {"37", "310.15", "98.6", "558.27"}},
    ConversionCase{"FeverInFahrenheit", F, "98.6", {"37", "310.15", "98.6", "558.27"}},
    ConversionCase{"AbsoluteZeroKelvin", K, "0", {"-273.15", "0", "-459.67", "0"}},
    ConversionCase{"NegativeRankine", R, "-10", {"-278.705555555556", "-5.555555555556", "-469.67", "-10"}},
    ConversionCase{"ExponentForm", C, "1e15", {"1e15", "1.00000000000027E+15", "1.80000000000003E+15", "1.80000000000049E+15"}},
    ConversionCase{"SpacesAround", C, " 25 ", {" 25 ", "298.15", "77", "536.67"}},
    ConversionCase{"ResultsMayExceedTheLimits", C, "1.99E+30", {"1.99E+30", "1.99E+30", "3.582E+30", "3.582E+30"}},
    ConversionCase{"JustAboveTheSmallLimit", C, "6E-30", {"6E-30", "273.15", "32", "491.67"}},
    ConversionCase{"ZeroBeyondDoubles", C, "-0E-400", {"-0E-400", "273.15", "32", "491.67"}}),
    testing::CaseName());
// clang-format on

// --- Whole texts, each entered into Celsius after 1 has been converted ------------------------

enum class Outcome { Started, Waiting, Rejected, OutOfRange };

class EntryAfterOne : public ::testing::TestWithParam<std::tuple<Outcome, std::string>> {};

TEST_P(EntryAfterOne, KeepsOrEmptiesTheOthers) {
    const auto& [outcome, text] = GetParam();
    PanelHarness h;
    h.click(C);
    h.edit(C, "1");
    h.edit(C, text);
    // Started: the number has not begun, so what the others showed no longer holds. Waiting: the
    // exponent is still being typed.
    const auto expected = [&]() -> std::pair<Texts, const char*> {
        switch (outcome) {
            case Outcome::Started:
                return {{text, "", "", ""}, nullptr};
            case Outcome::Waiting:
                return {{text, "274.15", "33.8", "493.47"}, nullptr};
            case Outcome::Rejected:
                return {{text, "", "", ""}, kNotNumericMessage};
            case Outcome::OutOfRange:
                return {{}, kOutOfRangeMessage};
        }
        return {};
    };
    const auto [texts, message] = expected();
    EXPECT_EQ(h.texts, texts);
    ASSERT_EQ(h.shown.size(), message ? 1u : 0u);
    EXPECT_TRUE(!message || h.shown[0].text == message) << h.shown[0].text;
}

using ::testing::Combine;
using ::testing::Values;
INSTANTIATE_TEST_SUITE_P(Started, EntryAfterOne,
                         Combine(Values(Outcome::Started), Values("-", "+", ".", "-.", "+.")));
INSTANTIATE_TEST_SUITE_P(Waiting, EntryAfterOne,
                         Combine(Values(Outcome::Waiting),
                                 Values("1e", "1E", "1E-", "1e+", "2.5E-", "e-", "E+")));
INSTANTIATE_TEST_SUITE_P(Rejected, EntryAfterOne,
                         Combine(Values(Outcome::Rejected),
                                 Values(" -", "- ", "E", "e", "e5", "1++", "--1", "1+e", "1+E",
                                        "1e5e", "12a", " ", "1,5")));
INSTANTIATE_TEST_SUITE_P(OutOfRange, EntryAfterOne,
                         Combine(Values(Outcome::OutOfRange),
                                 Values("2E+30", "-2E+30", "5E-30", "-5E-30", "1E-31", "1E+400",
                                        "1E-400")));

}  // namespace
}  // namespace tolvane
