// Thousands of generated entries through the change handling, checked against invariants and
// against an independent description of what a number looks like.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <string>

#include "conversion_panel.h"
#include "fake_fields.h"
#include "number_text.h"

namespace tolvane {
namespace {

using testing::FakeFields;
using testing::PanelHarness;

std::string randomText(std::mt19937& random) {
    static const std::string alphabet = "0123456789012345678901234567890123456789+-+-..eEeE  xa,";
    std::uniform_int_distribution<int> kind(0, 99);
    std::size_t length = std::uniform_int_distribution<std::size_t>(0, 12)(random);
    const int k = kind(random);
    if (k < 2) {
        length = std::uniform_int_distribution<std::size_t>(1000, 100000)(random);
    } else if (k < 10) {
        length = std::uniform_int_distribution<std::size_t>(13, 400)(random);
    }
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text;
    text.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        text += alphabet[pick(random)];
    }
    if (k >= 10 && k < 15 && !text.empty()) {
        text[0] = static_cast<char>(0xC3);  // a stray non-ASCII byte
    }
    return text;
}

// What a number looks like, written independently of the reader.
bool looksNumeric(const std::string& text) {
    static const std::regex number(R"(^ *[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)? *$)");
    return std::regex_match(text, number);
}

TEST(RandomEntries, KeepTheInvariants) {
    std::mt19937 random(4242);
    const UnitField fields[] = {UnitField::Celsius, UnitField::Kelvin, UnitField::Fahrenheit,
                                UnitField::Rankine};
    int converted = 0;
    int rejected = 0;
    for (int i = 0; i < 6000; ++i) {
        const std::string text = randomText(random);
        const UnitField edited = fields[i % 4];
        PanelHarness h;
        h.fields.click(edited);
        h.fields.edit(edited, "10");
        h.fields.clearLog();
        const auto before = h.fields.texts();

        h.fields.edit(edited, text);

        const NumberReading reading = readNumber(text, ".");
        if (text.size() <= 400) {
            ASSERT_EQ(reading.isNumeric(), looksNumeric(text)) << '"' << text << '"';
        }
        ASSERT_EQ(h.panel.ActiveTextBox(), edited);
        ASSERT_LE(h.messages.shown().size(), 1u);

        const bool outOfRange =
            !h.messages.shown().empty() && h.messages.shown()[0].text == kOutOfRangeMessage;
        ASSERT_EQ(h.fields.text(edited), outOfRange ? "" : text)
            << "only an out-of-range value is taken out of the field";
        const bool notNumeric =
            !h.messages.shown().empty() && h.messages.shown()[0].text == kNotNumericMessage;
        ASSERT_FALSE(reading.isNumeric() && notNumeric) << text;
        ASSERT_EQ(outOfRange, reading.isNumeric() && !h.panel.IsInRange(text)) << text;

        const auto wrote = [&](UnitField field) {
            return std::count_if(h.fields.log().begin(), h.fields.log().end(), [&](const auto& e) {
                return e.kind == FakeFields::Event::Kind::Write && e.field == field;
            });
        };
        if (reading.isNumeric() && !outOfRange) {
            ++converted;
            for (const UnitField other : fields) {
                if (other == edited) {
                    ASSERT_EQ(wrote(other), 0) << "a conversion never converts back";
                    continue;
                }
                ASSERT_EQ(wrote(other), 1) << text;
                ASSERT_EQ(readNumber(h.fields.text(other), ".").kind, NumberReading::Kind::Number);
            }
        } else if (!outOfRange) {
            ASSERT_EQ(wrote(edited), 0) << text;
            for (const UnitField other : fields) {
                const std::string shown = h.fields.text(other);
                const std::string& earlier = before[static_cast<std::size_t>(other) - 1];
                ASSERT_TRUE(other == edited || shown.empty() || shown == earlier)
                    << "an entry that is no number only waits or empties: " << text;
            }
        }
        rejected += notNumeric ? 1 : 0;
    }
    // The generator must reach both sides, or the test says little.
    EXPECT_GT(converted, 300);
    EXPECT_GT(rejected, 1000);
}

}  // namespace
}  // namespace tolvane
