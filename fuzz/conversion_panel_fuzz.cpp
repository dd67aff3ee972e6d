// The conversion panel over in-memory fields, driven by a script of what a user does (the form is
// in rule_oracle.h), each step judged by the rules written out there. No script crashes the panel,
// nor makes its handlers re-enter each other without end, which would overflow the stack.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "rule_oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view script(reinterpret_cast<const char*>(data), size);
    std::size_t end = script.find('\n');
    tolvane::testing::PanelHarness h(script.substr(0, end) == "," ? "," : ".");
    while (end != std::string_view::npos) {
        script = script.substr(end + 1);
        end = script.find('\n');
        const std::string_view line = script.substr(0, end);
        if (const char* fault = tolvane::oracle::run(h, line)) {
            std::fprintf(stderr, "%s, after \"%.*s\"\n", fault, static_cast<int>(line.size()),
                         line.data());
            std::abort();
        }
    }
    return 0;
}
