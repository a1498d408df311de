#pragma once

#include <string>
#include <string_view>

namespace ferolune::calc {

// Both forms round the double's exact decimal value; an exact tie (12345 Ω to
// four digits) goes away from zero, as the result boxes round their halves and
// as the user rounds by hand. Infinities and NaN, which no calculation hands
// over, give "—".

// The value as four significant digits, a space, an SI prefix from p to T and
// the unit, the prefix chosen so that the rounded mantissa lies in [1, 1000):
// "540.5 μs", "6.800 kΩ", and "1.000 ms" for 999.96 μs. Zero of either sign is
// "0.000 s"; a negative value keeps its sign. A magnitude that rounds outside
// [1 p, 1000 T) takes an exponent instead of a prefix: "1.235e+15 s".
std::u16string formatEngineering(double value, std::u16string_view unit);

// The fraction in per cent with one decimal and no space before the sign:
// 0.53424... gives "53.4%". It is the fraction's own value that is rounded, to
// three decimals, not its product with 100. Never "-0.0%".
std::u16string formatPercent1(double fraction);

} // namespace ferolune::calc
