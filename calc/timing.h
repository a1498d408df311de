#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace ferolune::calc {

inline constexpr double TimingCoefficient = 0.693;
inline constexpr double MicrofaradScale = 0.000001;

// The three entry texts exactly as the boxes hold them: R_A and R_B in ohms,
// C in microfarads.
struct TimingInput
{
    std::u16string ra, rb, c;
};

// Charge time, discharge time and period, in seconds.
struct TimingResult
{
    double t1 = 0, t2 = 0, t = 0;
};

// The three times for the given R_A and R_B in ohms and C in farads, each
// operation rounded to a double in the order of the formulas
// T = ((2 R_B) + R_A) 0.693 C, T1 = (R_B + R_A) 0.693 C, T2 = R_B 0.693 C.
// Throws OverflowError when an input or any intermediate result is not finite.
TimingResult computeTiming(double ra, double rb, double c);

// The values read from the three entries: R_A and R_B in ohms, C in farads.
struct EnteredValues
{
    double ra = 0, rb = 0, c = 0;
};

// The three result texts, for the T1, T2 and T boxes, and the values they were
// made from, which the window tells about beside them.
struct TimingTexts
{
    std::u16string t1, t2, t;
    EnteredValues read{};
    TimingResult times{};
};

// At least one entry was empty (or held only blanks).
struct IncompleteData
{};

using CalculateOutcome = std::variant<IncompleteData, TimingTexts>;

// What the calculate button does, without any window. Throws OverflowError when
// an entry or an intermediate result leaves the double range; nothing is
// formatted in that case.
CalculateOutcome Calculate(const TimingInput &input);

} // namespace ferolune::calc
