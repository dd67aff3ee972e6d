// Number text, as typed into a field or written by a conversion: no input crashes the reader, the
// reader takes a text for a number exactly when the rules written out in rule_oracle.h do, with
// strtod's value, and whatever reads as a number writes as a text that reads back to the value
// rounded to 15 significant digits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "number_text.h"
#include "rule_oracle.h"

namespace {

using Kind = tolvane::NumberReading::Kind;

void check(bool ok, const char* what, std::string_view text, std::string_view separator) {
    if (!ok) {
        std::fprintf(stderr, "%s: \"%.*s\" with separator \"%.*s\"\n", what,
                     static_cast<int>(text.size()), text.data(), static_cast<int>(separator.size()),
                     separator.data());
        std::abort();
    }
}

void checkWriting(double value, std::string_view separator, std::string_view source) {
    const auto again = tolvane::readNumber(tolvane::writeNumber(value, separator), separator);
    // Rounded to 15 significant digits by the C library rather than by the writer.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const double rounded = std::strtod(buffer, nullptr);
    // Within a unit in the 15th digit of the largest double, the rounded value is beyond it.
    check(std::isinf(rounded) ? again.kind == Kind::BeyondDoubleRange
                              : again.kind == Kind::Number && again.value == rounded,
          "written text does not read back to the value rounded to 15 digits", source, separator);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The separators a locale may give: both one-byte ones and a two-byte one (Arabic).
    for (const std::string_view separator : {".", ",", "\xD9\xAB"}) {
        const tolvane::NumberReading reading = tolvane::readNumber(text, separator);
        const auto spelled = tolvane::oracle::spelled(text, separator);
        check(reading.isNumeric() == spelled.has_value(), "numeric against the rules", text,
              separator);
        if (spelled && spelled->beyondDoubles()) {
            check(reading.kind == Kind::BeyondDoubleRange, "not beyond the double range", text,
                  separator);
        } else if (spelled) {
            check(reading.kind == Kind::Number && reading.value == spelled->value &&
                      std::signbit(reading.value) == std::signbit(spelled->value),
                  "read as another value than strtod's", text, separator);
            checkWriting(reading.value, separator, text);
        }
    }
    // The same bytes as a double reach values that few texts spell: subnormals, the extremes.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) {
            checkWriting(value, ",", text.substr(0, sizeof value));
        }
    }
    return 0;
}
