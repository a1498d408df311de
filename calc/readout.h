#pragma once

#include "calc/timing.h"
#include "calc/warnings.h"

#include <string>
#include <string_view>

namespace ferolune::calc {

// What the window tells about one result box beyond its two decimals.
struct ResultReadout
{
    // The tooltip and accessible description: the warnings, then the box's own
    // time, the frequency, the duty cycle and the values read, one a line.
    std::u16string detail;
    // The time in seconds to 15 significant digits, for the copy entry.
    std::u16string exact;
};

// Where the window speaks up after a calculation, unasked.
enum class HintPlace { None, Ra, Rb, C, T };

struct CalculationHint
{
    HintPlace place = HintPlace::None;
    // One a line, without a line feed at the end.
    std::u16string text;
};

// For the T1, T2 and T boxes, what each entry box tells after the calculation,
// and the hint.
struct TimingReadout
{
    ResultReadout t1, t2, t;
    std::u16string ra, rb, c;
    CalculationHint hint;
};

// The readout of one calculation, from the texts typed and what Calculate made
// of them. Every result box starts with the same warnings: first each entry
// not read as typed, then each sign that the design cannot work. The frequency
// 1/T and the duty cycle T1/T keep their lines and labels where there is none,
// so every readout ends in the same four lines: "频率 f = —" and
// "占空比 T1/T = —" unless T > 0 and the quotient is finite. An entry box tells
// its own warning, what it was read as, and its hint.
//
// The hint is due where the boxes would mislead: at the first entry not read
// as typed, with every warning; else at the T box when the design cannot work,
// with its warnings, or when a box shows 0.00 for a time that is not zero. In
// that last case, after any warnings, it gives what the two decimals lost: the
// three times, the frequency and the duty cycle, as the result boxes tell them.
TimingReadout timingReadout(const TimingInput &typed, const TimingTexts &calculation);

// What an entry box tells before any calculation: its unit and how a number
// is read from it.
std::u16string_view entryHint(Entry entry);

} // namespace ferolune::calc
