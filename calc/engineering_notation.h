#pragma once

#include <string>
#include <string_view>

namespace ferolune::calc {

// The engineering and per cent forms round the double's exact decimal value;
// an exact tie (12345 Ω to four digits) goes away from zero, as the result
// boxes round their halves and as the user rounds by hand. Infinities and NaN,
// which no calculation hands over, give "—" in every form.

// The units of the readout.
enum class Unit { Second, Hertz, Farad, Ohm };

// The value as four significant digits, a space, a prefix and the unit, with
// the prefixes a hobbyist reads for each unit: ns, μs, ms, s; Hz, kHz, MHz;
// pF, nF, μF; Ω, kΩ, MΩ. Within them the prefix is the one that puts the
// rounded mantissa in [1, 1000): "540.5 μs", "6.800 kΩ", and "1.000 ms" for
// 999.96 μs. Above the largest the value keeps it, up to six integer digits
// ("2079 s", "1000 μF"); below the smallest it keeps that one, down to three
// zeros after the point ("0.9884 Hz", "0.0004810 Hz"). Beyond those it takes
// an exponent and the bare unit instead: "1.235e+15 s". Zero of either sign is
// "0.000" with the unit as typed or shown most ("0.000 s", "0.000 μF"); a
// negative value keeps its sign.
std::u16string formatEngineering(double value, Unit unit);

// The fraction in per cent with one decimal and no space before the sign:
// 0.53424... gives "53.4%". It is the fraction's own value that is rounded, to
// three decimals, not its product with 100. Never "-0.0%".
std::u16string formatPercent1(double fraction);

// The value rounded to 15 significant digits as the result boxes round it
// before their two decimals, without trailing zeros: "1.01178", "0.00054054", "2079".
// Fixed point from 10^-9 up to 10^15, otherwise with an exponent ("6.93e-317",
// "1e+20"); zero of either sign is "0". Unlike the shortest text that reads
// back to the same double, it does not end in ...9997 where the decimal the
// user has in mind is not a double.
std::u16string formatFifteenDigits(double value);

} // namespace ferolune::calc
