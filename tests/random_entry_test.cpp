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

std::string randomText(std::mt19937& random) {
    static const std::string alphabet = "0123456789012345678901234567890123456789+-+-..eEeE  xa,";
    const int kind = std::uniform_int_distribution<int>(0, 99)(random);
    const std::size_t length =
        std::uniform_int_distribution<std::size_t>(0, kind < 2    ? 100000
                                                      : kind < 10 ? 400
                                                                  : 12)(random);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text += alphabet[pick(random)];
    }
    return text;
}

bool looksNumeric(const std::string& text) {
    static const std::regex number(R"(^ *[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)? *$)");
    return std::regex_match(text, number);
}

TEST(RandomEntries, KeepTheInvariants) {
    std::mt19937 random(4242);
    int converted = 0;
    for (int i = 0; i < 6000; ++i) {
        const std::string text = randomText(random);
        const UnitField edited = kUnitFields[static_cast<std::size_t>(i % 4)];
        testing::PanelHarness h;
        h.fields.click(edited);
        h.fields.edit(edited, "10");
        const auto before = h.fields.texts();
        h.fields.clearLog();
        h.fields.edit(edited, text);

        const bool numeric = readNumber(text, ".").isNumeric();
        if (text.size() <= 400) {
            ASSERT_EQ(numeric, looksNumeric(text)) << '"' << text << '"';
        }
        const auto& shown = h.messages.shown();
        ASSERT_LE(shown.size(), 1u);
        const bool outOfRange = !shown.empty() && shown[0].text == kOutOfRangeMessage;
        ASSERT_EQ(outOfRange, numeric && !h.panel.IsInRange(text)) << text;
        ASSERT_FALSE(numeric && !shown.empty() && !outOfRange) << text;
        ASSERT_EQ(h.fields.text(edited), outOfRange ? "" : text);
        for (const UnitField other : kUnitFields) {
            const auto writes =
                std::count_if(h.fields.log().begin(), h.fields.log().end(), [&](const auto& e) {
                    return e.field == other && e.kind == testing::FakeFields::Event::Kind::Write;
                });
            const std::string now = h.fields.text(other);
            if (other == edited && !outOfRange) {
                ASSERT_EQ(writes, 0) << "a conversion never converts back: " << text;
            } else if (numeric && !outOfRange) {
                ASSERT_EQ(writes, 1) << text;
                ASSERT_EQ(readNumber(now, ".").kind, NumberReading::Kind::Number) << now;
            } else if (!numeric) {
                ASSERT_TRUE(now.empty() || now == before[static_cast<std::size_t>(other) - 1]);
            }
        }
        converted += numeric && !outOfRange ? 1 : 0;
    }
    EXPECT_GT(converted, 300) << "the generator must reach numbers, or the test says little";
}

}  // namespace
}  // namespace tolvane
