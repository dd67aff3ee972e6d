// Number text, as typed into a field or written by a conversion: no input crashes the reader,
// the reader's value is the C library's reading of the same number, and whatever reads as a
// number writes as a text that reads back to the value rounded to 15 significant digits.
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "number_text.h"

namespace {

using tolvane::NumberReading;

void check(bool ok, const char* what, std::string_view text, std::string_view separator) {
    if (!ok) {
        std::fprintf(stderr, "%s: \"%.*s\" with separator \"%.*s\"\n", what,
                     static_cast<int>(text.size()), text.data(), static_cast<int>(separator.size()),
                     separator.data());
        std::abort();
    }
}

// The value rounded to 15 significant digits, by the C library rather than by the writer.
double roundedTo15Digits(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return std::strtod(buffer, nullptr);
}

// Significant digits in a written text: those of its mantissa, without leading or trailing
// zeros.
std::size_t significantDigits(std::string_view text) {
    const std::string_view mantissa = text.substr(0, text.find('E'));
    std::string digits;
    for (const char c : mantissa) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return 0;
    }
    return digits.find_last_not_of('0') + 1 - first;
}

// A text the reader took as a number, in the form strtod reads: no spaces, '.' as separator.
std::string cForm(std::string_view text, std::string_view separator) {
    std::string plain;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, separator.size()) == separator) {
            plain += '.';
            i += separator.size();
        } else {
            if (text[i] != ' ') {
                plain += text[i];
            }
            ++i;
        }
    }
    return plain;
}

bool hasNonZeroMantissaDigit(std::string_view plain) {
    const std::string_view mantissa = plain.substr(0, plain.find_first_of("eE"));
    return mantissa.find_first_of("123456789") != std::string_view::npos;
}

void checkWriting(double value, std::string_view separator, std::string_view source) {
    const std::string written = tolvane::writeNumber(value, separator);
    const NumberReading again = tolvane::readNumber(written, separator);
    const double rounded = roundedTo15Digits(value);
    // Within a unit in the 15th digit of the largest double, the rounded value is beyond it.
    if (std::isinf(rounded)) {
        check(again.kind == NumberReading::Kind::BeyondDoubleRange,
              "a text rounded beyond the largest double reads back", source, separator);
        return;
    }
    check(again.kind == NumberReading::Kind::Number, "written text does not read back", source,
          separator);
    check(again.value == rounded, "written text reads back to another value", source, separator);
    check(significantDigits(written) <= 15, "more than 15 significant digits written", source,
          separator);
}

void checkText(std::string_view text, std::string_view separator) {
    const NumberReading reading = tolvane::readNumber(text, separator);
    if (!reading.isNumeric()) {
        return;
    }
    const std::string plain = cForm(text, separator);
    errno = 0;
    const double expected = std::strtod(plain.c_str(), nullptr);
    const bool beyond = std::isinf(expected) || (expected == 0 && hasNonZeroMantissaDigit(plain));
    if (reading.kind == NumberReading::Kind::BeyondDoubleRange) {
        check(beyond, "read as beyond the double range", text, separator);
        return;
    }
    check(!beyond, "read as a number although beyond the double range", text, separator);
    check(reading.value == expected && std::signbit(reading.value) == std::signbit(expected),
          "read as another value than strtod's", text, separator);
    checkWriting(reading.value, separator, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The separators a locale may give: both one-byte ones and a two-byte one (Arabic).
    for (const std::string_view separator : {".", ",", "\xD9\xAB"}) {
        checkText(text, separator);
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
