#include "number_text.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace tolvane {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isSign(char c) {
    return c == '+' || c == '-';
}

constexpr int kSignificantDigits = 15;
constexpr int kSmallestPositionalExponent = -4;
constexpr int kLargestPositionalExponent = 14;

}  // namespace

NumberReading readNumber(std::string_view text, std::string_view decimalSeparator) {
    std::size_t pos = text.find_first_not_of(' ');
    if (pos == std::string_view::npos) {
        return {};
    }
    const std::size_t end = text.find_last_not_of(' ') + 1;

    // The text is copied in the one form std::from_chars accepts: no '+', '.' as separator.
    std::string plain;
    plain.reserve(end - pos + 1);
    if (isSign(text[pos])) {
        if (text[pos] == '-') {
            plain += '-';
        }
        ++pos;
    }

    std::size_t mantissaDigits = 0;
    bool separatorSeen = false;
    while (pos < end) {
        if (isDigit(text[pos])) {
            plain += text[pos++];
            ++mantissaDigits;
        } else if (!separatorSeen && !decimalSeparator.empty() &&
                   text.substr(pos, decimalSeparator.size()) == decimalSeparator) {
            plain += '.';
            separatorSeen = true;
            pos += decimalSeparator.size();
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) {
        return {};
    }

    if (pos < end && (text[pos] == 'e' || text[pos] == 'E')) {
        plain += 'e';
        ++pos;
        if (pos < end && isSign(text[pos])) {
            plain += text[pos++];
        }
        std::size_t exponentDigits = 0;
        while (pos < end && isDigit(text[pos])) {
            plain += text[pos++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return {};
        }
    }
    if (pos != end) {
        return {};
    }

    double value = 0.0;
    const char* first = plain.data();
    const char* last = first + plain.size();
    const auto [stop, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
        return {NumberReading::Kind::BeyondDoubleRange, 0.0};
    }
    // The syntax was checked above, so from_chars takes the whole text.
    assert(error == std::errc{} && stop == last);
    if (error != std::errc{} || stop != last) {
        return {};
    }
    return {NumberReading::Kind::Number, value};
}

std::string writeNumber(double value, std::string_view decimalSeparator) {
    assert(std::isfinite(value));
    if (value == 0.0) {
        return "0";
    }

    // Scientific form with 14 digits after the point rounds to 15 significant digits exactly
    // once, correctly; the exponent of the rounded value decides the layout.
    char buffer[64];
    const auto [stop, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                             std::chars_format::scientific, kSignificantDigits - 1);
    assert(error == std::errc{});
    std::string_view scientific(buffer, static_cast<std::size_t>(stop - buffer));

    const bool negative = scientific.front() == '-';
    if (negative) {
        scientific.remove_prefix(1);
    }
    const std::size_t exponentMark = scientific.find('e');
    std::string digits;
    digits += scientific[0];
    digits += scientific.substr(2, exponentMark - 2);
    digits.erase(digits.find_last_not_of('0') + 1);

    int exponent = 0;
    const std::string_view exponentText = scientific.substr(exponentMark + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);

    std::string text;
    if (negative) {
        text += '-';
    }
    if (exponent >= kSmallestPositionalExponent && exponent <= kLargestPositionalExponent) {
        if (exponent >= 0) {
            const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
            text.append(digits, 0, integerDigits);
            if (digits.size() < integerDigits) {
                text.append(integerDigits - digits.size(), '0');
            } else if (digits.size() > integerDigits) {
                text += decimalSeparator;
                text.append(digits, integerDigits);
            }
        } else {
            text += '0';
            text += decimalSeparator;
            text.append(static_cast<std::size_t>(-exponent - 1), '0');
            text += digits;
        }
    } else {
        text += digits[0];
        if (digits.size() > 1) {
            text += decimalSeparator;
            text += digits.substr(1);
        }
        text += 'E';
        text += exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) {
            text += '0';
        }
        text += std::to_string(magnitude);
    }
    return text;
}

}  // namespace tolvane
