#include "number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "case_name.h"

namespace tolvane {
namespace {

using Kind = NumberReading::Kind;

struct NumberCase {
    const char* name;
    std::string text;
    std::string separator;
    double value;
};

class ReadsANumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadsANumber, WithTheNearestValue) {
    const NumberReading reading = readNumber(GetParam().text, GetParam().separator);
    EXPECT_EQ(reading.kind, Kind::Number) << '"' << GetParam().text << '"';
    EXPECT_EQ(reading.value, GetParam().value);
    EXPECT_EQ(std::signbit(reading.value), std::signbit(GetParam().value));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(All, ReadsANumber, ::testing::Values(
    NumberCase{"TrailingPoint", "5.", ".", 5},
    NumberCase{"LeadingPoint", ".5", ".", 0.5},
    NumberCase{"NearestDouble", "0.1", ".", 0.1},
    NumberCase{"SignedExponent", "2.5E+3", ".", 2500},
    NumberCase{"PlusSign", "+3", ".", 3},
    NumberCase{"Spaces", "  -7.5e1  ", ".", -75},
    NumberCase{"NegativeZero", "-0", ".", -0.0},
    NumberCase{"ZeroWithEnormousExponent", "0e99999999999999999999", ".", 0},
    NumberCase{"Subnormal", "5e-324", ".", 5e-324},
    NumberCase{"Largest", "1.7976931348623157e308", ".", DBL_MAX},
    NumberCase{"CommaLeading", "-,25", ",", -0.25},
    NumberCase{"MultiByteSeparator", "3\xD9\xAB" "5", "\xD9\xAB", 3.5}),
    testing::CaseName());
// clang-format on

struct OtherCase {
    const char* name;
    std::string text;
    std::string separator;
    Kind kind;
};

class ReadsNoValue : public ::testing::TestWithParam<OtherCase> {};

TEST_P(ReadsNoValue, ButSaysWhy) {
    EXPECT_EQ(readNumber(GetParam().text, GetParam().separator).kind, GetParam().kind)
        << '"' << GetParam().text << '"';
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(All, ReadsNoValue, ::testing::Values(
    OtherCase{"TooLarge", "-1e400", ".", Kind::BeyondDoubleRange},
    OtherCase{"TooSmall", "1E-400", ".", Kind::BeyondDoubleRange},
    OtherCase{"EnormousExponent", "1e99999999999999999999", ".", Kind::BeyondDoubleRange},
    OtherCase{"Blanks", "   ", ".", Kind::NotNumeric},
    OtherCase{"MinusPoint", "-.", ".", Kind::NotNumeric},
    OtherCase{"OpenExponentPlus", "1E+", ".", Kind::NotNumeric},
    OtherCase{"TwoPoints", "1.2.3", ".", Kind::NotNumeric},
    OtherCase{"SpaceAfterSign", "- 1", ".", Kind::NotNumeric},
    OtherCase{"Tab", "\t5", ".", Kind::NotNumeric},
    OtherCase{"Infinity", "inf", ".", Kind::NotNumeric},
    OtherCase{"Hex", "0x10", ".", Kind::NotNumeric},
    OtherCase{"Grouping", "1,000", ".", Kind::NotNumeric},
    OtherCase{"PointUnderCommaLocale", "1.5", ",", Kind::NotNumeric}),
    testing::CaseName());
// clang-format on

struct WritingCase {
    const char* name;
    double value;
    std::string separator;
    std::string text;
};

class WritingRule : public ::testing::TestWithParam<WritingCase> {};

TEST_P(WritingRule, WritesFifteenSignificantDigits) {
    EXPECT_EQ(writeNumber(GetParam().value, GetParam().separator), GetParam().text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, WritingRule, ::testing::Values(
    WritingCase{"Third", 1.0 / 3, ".", "0.333333333333333"},
    WritingCase{"SmallestPositional", 0.0001, ".", "0.0001"},
    WritingCase{"FirstExponentBelow", 0.00001, ".", "1E-05"},
    WritingCase{"LargestPositional", 123456789012345, ".", "123456789012345"},
    WritingCase{"FirstExponentAbove", 1E+15, ".", "1E+15"},
    WritingCase{"RoundedInExponentForm", 1234567890123456, ".", "1.23456789012346E+15"},
    WritingCase{"NegativeZero", -0.0, ".", "0"},
    WritingCase{"BodyTemperature", 37 * 1.8 + 32, ".", "98.6"},
    WritingCase{"RoundingCarriesIntoPositional", 99999999999999.95, ".", "100000000000000"},
    WritingCase{"RoundingCarriesIntoExponent", 999999999999999.9, ".", "1E+15"},
    WritingCase{"RoundingCarriesUpToPositional", 0.000099999999999999995, ".", "0.0001"},
    WritingCase{"ThreeDigitExponent", 1e100, ".", "1E+100"},
    WritingCase{"NegativeSmall", -1.5e-7, ".", "-1.5E-07"},
    WritingCase{"SmallestSubnormal", 5e-324, ".", "4.94065645841247E-324"},
    WritingCase{"CommaExponent", 1.8e29, ",", "1,8E+29"},
    WritingCase{"NoGrouping", -1234567.25, ",", "-1234567,25"}),
    testing::CaseName());
// clang-format on

// Whatever the writer produces, the reader takes back, and a second round changes nothing.
TEST(NumberText, WrittenTextReadsBackToTheSameText) {
    std::mt19937_64 random(20261206);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = writeNumber(value, ",");
        const NumberReading reading = readNumber(text, ",");
        ASSERT_EQ(reading.kind, Kind::Number) << text;
        ASSERT_EQ(writeNumber(reading.value, ","), text);
        ASSERT_LE(std::fabs(reading.value - value), std::fabs(value) * 1e-14) << text;
    }
}

TEST(NumberText, ReadsAMegabyteOfDigits) {
    const std::string text = "0." + std::string(1 << 20, '0') + "1e1048580";
    EXPECT_NEAR(readNumber(text, ".").value, 1e3, 1e-9);
}

}  // namespace
}  // namespace tolvane
