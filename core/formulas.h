#pragma once

namespace tolvane::formula {

// The six one-way conversions. Each operation is one rounded double operation, in the order
// written; other pairs are chains of these that read each other's rounded text.
inline constexpr double kCelsiusToKelvinOffset = 273.15;
inline constexpr double kFahrenheitToRankineOffset = 459.67;
inline constexpr double kFahrenheitPerCelsius = 1.8;
inline constexpr double kFahrenheitAtZeroCelsius = 32;

constexpr double celsiusToKelvin(double c) {
    return c + kCelsiusToKelvinOffset;
}
constexpr double kelvinToCelsius(double k) {
    return k - kCelsiusToKelvinOffset;
}
constexpr double celsiusToFahrenheit(double c) {
    return c * kFahrenheitPerCelsius + kFahrenheitAtZeroCelsius;
}
// Divides by 1.8 rather than multiplying by 5/9: the two differ in the last bit.
constexpr double fahrenheitToCelsius(double f) {
    return (f - kFahrenheitAtZeroCelsius) / kFahrenheitPerCelsius;
}
constexpr double fahrenheitToRankine(double f) {
    return f + kFahrenheitToRankineOffset;
}
constexpr double rankineToFahrenheit(double r) {
    return r - kFahrenheitToRankineOffset;
}

}  // namespace tolvane::formula
