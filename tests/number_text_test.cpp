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

struct ReadingCase {
    const char* name;
    std::string text;
    std::string separator;
    Kind kind;
    double value = 0.0;
};

class ReadingRule : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReadingRule, ReadsKindAndValue) {
    const NumberReading reading = readNumber(GetParam().text, GetParam().separator);
    EXPECT_EQ(reading.kind, GetParam().kind) << '"' << GetParam().text << '"';
    if (GetParam().kind == Kind::Number) {
        EXPECT_EQ(reading.value, GetParam().value);
        EXPECT_EQ(std::signbit(reading.value), std::signbit(GetParam().value));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(All, ReadingRule, ::testing::Values(
    ReadingCase{"TrailingPoint", "5.", ".", Kind::Number, 5},
    ReadingCase{"LeadingPoint", ".5", ".", Kind::Number, 0.5},
    ReadingCase{"NearestDouble", "0.1", ".", Kind::Number, 0.1},
    ReadingCase{"SignedExponent", "2.5E+3", ".", Kind::Number, 2500},
    ReadingCase{"PlusSign", "+3", ".", Kind::Number, 3},
    ReadingCase{"Spaces", "  -7.5e1  ", ".", Kind::Number, -75},
    ReadingCase{"NegativeZero", "-0", ".", Kind::Number, -0.0},
    ReadingCase{"ZeroWithEnormousExponent", "0e99999999999999999999", ".", Kind::Number, 0},
    ReadingCase{"Subnormal", "5e-324", ".", Kind::Number, 5e-324},
    ReadingCase{"Largest", "1.7976931348623157e308", ".", Kind::Number, DBL_MAX},
    ReadingCase{"CommaLeading", "-,25", ",", Kind::Number, -0.25},
    ReadingCase{"MultiByteSeparator", "3\xD9\xAB" "5", "\xD9\xAB", Kind::Number, 3.5},
    ReadingCase{"TooLarge", "-1e400", ".", Kind::BeyondDoubleRange},
    ReadingCase{"TooSmall", "1E-400", ".", Kind::BeyondDoubleRange},
    ReadingCase{"EnormousExponent", "1e99999999999999999999", ".", Kind::BeyondDoubleRange},
    ReadingCase{"Blanks", "   ", ".", Kind::NotNumeric},
    ReadingCase{"MinusPoint", "-.", ".", Kind::NotNumeric},
    ReadingCase{"OpenExponentPlus", "1E+", ".", Kind::NotNumeric},
    ReadingCase{"TwoPoints", "1.2.3", ".", Kind::NotNumeric},
    ReadingCase{"SpaceAfterSign", "- 1", ".", Kind::NotNumeric},
    ReadingCase{"Tab", "\t5", ".", Kind::NotNumeric},
    ReadingCase{"Infinity", "inf", ".", Kind::NotNumeric},
    ReadingCase{"Hex", "0x10", ".", Kind::NotNumeric},
    ReadingCase{"Grouping", "1,000", ".", Kind::NotNumeric},
    ReadingCase{"PointUnderCommaLocale", "1.5", ",", Kind::NotNumeric}),
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
