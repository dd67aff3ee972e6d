#include "number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "case_name.h"

namespace tolvane {
namespace {

using Kind = NumberReading::Kind;

constexpr auto kNumber = Kind::Number, kBeyond = Kind::BeyondDoubleRange, kNot = Kind::NotNumeric;

struct ReadingCase {
    const char* name;
    std::string text;
    std::string separator;
    Kind kind;
    double value = 0;  // for a number
};

class ReadingRule : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReadingRule, GivesTheKindAndTheNearestValue) {
    const NumberReading reading = readNumber(GetParam().text, GetParam().separator);
    EXPECT_EQ(reading.kind, GetParam().kind) << '"' << GetParam().text << '"';
    if (GetParam().kind == kNumber) {
        EXPECT_EQ(reading.value, GetParam().value);
        EXPECT_EQ(std::signbit(reading.value), std::signbit(GetParam().value));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(All, ReadingRule, ::testing::Values(
    ReadingCase{"TrailingPoint", "5.", ".", kNumber, 5},
    ReadingCase{"LeadingPoint", ".5", ".", kNumber, 0.5},
    ReadingCase{"SignedExponent", "2.5E+3", ".", kNumber, 2500},
    ReadingCase{"PlusSign", "+3", ".", kNumber, 3},
    ReadingCase{"Spaces", "  -7.5e1  ", ".", kNumber, -75},
    ReadingCase{"NegativeZero", "-0", ".", kNumber, -0.0},
    ReadingCase{"ZeroWithEnormousExponent", "0e99999999999999999999", ".", kNumber, 0},
    ReadingCase{"Subnormal", "5e-324", ".", kNumber, 5e-324},
    ReadingCase{"Largest", "1.7976931348623157e308", ".", kNumber, DBL_MAX},
    ReadingCase{"CommaLeading", "-,25", ",", kNumber, -0.25},
    ReadingCase{"MultiByteSeparator", "3\xD9\xAB" "5", "\xD9\xAB", kNumber, 3.5},
    ReadingCase{"TooLarge", "-1e400", ".", kBeyond},
    ReadingCase{"TooSmall", "1E-400", ".", kBeyond},
    ReadingCase{"EnormousExponent", "1e99999999999999999999", ".", kBeyond},
    ReadingCase{"Blanks", "   ", ".", kNot},
    ReadingCase{"MinusPoint", "-.", ".", kNot},
    ReadingCase{"OpenExponentPlus", "1E+", ".", kNot},
    ReadingCase{"TwoPoints", "1.2.3", ".", kNot},
    ReadingCase{"SpaceAfterSign", "- 1", ".", kNot},
    ReadingCase{"Tab", "\t5", ".", kNot},
    ReadingCase{"Infinity", "inf", ".", kNot},
    ReadingCase{"Hex", "0x10", ".", kNot},
    ReadingCase{"Grouping", "1,000", ".", kNot},
    ReadingCase{"PointUnderCommaLocale", "1.5", ",", kNot}),
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
    WritingCase{"RoundingCarriesIntoPositional", 99999999999999.95, ".", "100000000000000"},
    WritingCase{"RoundingCarriesIntoExponent", 999999999999999.9, ".", "1E+15"},
    WritingCase{"RoundingCarriesUpToPositional", 0.000099999999999999995, ".", "0.0001"},
    WritingCase{"ThreeDigitExponent", 1e100, ".", "1E+100"},
    WritingCase{"NegativeSmall", -1.5e-7, ".", "-1.5E-07"},
    WritingCase{"CommaExponent", 1.8e29, ",", "1,8E+29"},
    WritingCase{"NoGrouping", -1234567.25, ",", "-1234567,25"}),
    testing::CaseName());
// clang-format on

TEST(NumberText, ReadsAMegabyteOfDigits) {
    const std::string text = "0." + std::string(1 << 20, '0') + "1e1048580";
    EXPECT_NEAR(readNumber(text, ".").value, 1e3, 1e-9);
}

}  // namespace
}  // namespace tolvane
