#pragma once

#include "calc/timing.h"

#include <string>

namespace ferolune::calc {

// What the window tells about one result box beyond its two decimals.
struct ResultReadout
{
    // The tooltip and accessible description: the box's own time in engineering
    // notation, the frequency, the duty cycle and the values read, one a line.
    std::u16string detail;
    // The time in seconds as the shortest text that reads back to the same double.
    std::u16string exact;
};

// For the T1, T2 and T boxes.
struct TimingReadout
{
    ResultReadout t1, t2, t;
};

// The readout of one calculation, from the values it read and the times it
// computed. The frequency 1/T and the duty cycle T1/T keep their lines and
// labels where there is none, so every readout has the same four lines:
// "频率 f = —" and "占空比 T1/T = —" unless T > 0 and the quotient is finite.
TimingReadout timingReadout(const EnteredValues &read, const TimingResult &times);

} // namespace ferolune::calc
