#pragma once

#include <cfenv>
#include <cmath>
#include <cstdint>

namespace korvel {

/// Rounds to nearest with ties to even (the processor's default rounding).
inline std::int64_t Round(double v)
{
    return static_cast<std::int64_t>(std::nearbyint(v));
}

/// Integer division truncating toward zero.
constexpr std::int64_t Div(std::int64_t a, std::int64_t b)
{
    return a / b;
}

/// Remainder matching Div: the sign follows the dividend.
constexpr std::int64_t Mod(std::int64_t a, std::int64_t b)
{
    return a % b;
}

/// Keeps a millimetre value to three decimals by printing it with "%.3f" and parsing it back.
double KeepThreeDecimals(double mm);

} // namespace korvel
