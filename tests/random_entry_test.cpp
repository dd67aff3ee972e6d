// Thousands of random scripts of what a user does (their form is in rule_oracle.h), each step
// judged by the rules written out there: the panel fuzzer's checks, in every build, from a fixed
// seed. They alone check every field's entry around its message box, and the active field: which
// field converts, and where clearing puts the focus back; conversion_panel_test keeps the worked
// examples whose results are written out by hand.
#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <iterator>
#include <random>
#include <string>

#include "rule_oracle.h"

namespace tolvane {
namespace {

TEST(RandomScripts, DoWhatTheRulesSay) {
    ASSERT_STREQ(std::localeconv()->decimal_point, ".") << "strtod must read the C locale";
    // Parts of numbers, the range limits among them, and characters no number has.
    static const char* const kParts[] = {"0",    "1",    "2",    "5",   "37", ".",  ",",
                                         "-",    "+",    "e",    "E",   " ",  "E+", "e-",
                                         "E+30", "E-30", "e-31", "E29", "00", "x"};
    std::mt19937 random(4242);
    const auto pick = [&random](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    std::array<int, 7> entries{};
    for (int i = 0; i < 4000; ++i) {
        const std::string separator = i % 2 == 0 ? "." : ",";
        testing::PanelHarness h(separator);
        std::string script = separator;
        for (int step = 0; step < 30; ++step) {
            const char command = "FEEETTBLXA"[pick(10)];
            std::string line(1, command);
            if (command == 'F' || command == 'E' || command == 'T' || command == 'B') {
                line += static_cast<char>('1' + pick(4));
            }
            if (command == 'T') {
                line += kParts[pick(std::size(kParts))][0];
            } else if (command == 'E') {
                std::string text;
                for (std::size_t parts = pick(6); parts > 0; --parts) {
                    text += kParts[pick(std::size(kParts))];
                }
                ++entries[static_cast<std::size_t>(oracle::classify(text, separator))];
                line += text;
            }
            script += '\n' + line;
            ASSERT_STREQ(oracle::run(h, line), nullptr) << "after the script\n" << script;
        }
    }
    for (const int count : entries) {
        EXPECT_GT(count, 100) << "every kind of entry must come up often, or the test says little";
    }
}

}  // namespace
}  // namespace tolvane
