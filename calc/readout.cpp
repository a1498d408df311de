#include "calc/readout.h"

#include "calc/engineering_notation.h"

#include <array>
#include <charconv>
#include <limits>

namespace ferolune::calc {

namespace {

std::u16string shortestText(double value)
{
    std::array<char, 32> text; // the longest is "-2.2250738585072014e-308"
    char *const end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::u16string(text.data(), end);
}

// The three lines every box shares: frequency, duty cycle and the values read.
std::u16string sharedLines(const EnteredValues &read, const TimingResult &times)
{
    // Without a positive period there is neither; the notation writes "—" for
    // a NaN as for a quotient beyond the double range.
    const double none = std::numeric_limits<double>::quiet_NaN();
    const double frequency = times.t > 0 ? 1 / times.t : none;
    const double duty = times.t > 0 ? times.t1 / times.t : none;
    return u"\n频率 f = " + formatEngineering(frequency, u"Hz") + u"\n占空比 T1/T = " + formatPercent1(duty)
        + u"\n读入 R_A = " + formatEngineering(read.ra, u"Ω") + u"，R_B = " + formatEngineering(read.rb, u"Ω")
        + u"，C = " + formatEngineering(read.c, u"F");
}

ResultReadout boxReadout(std::u16string_view name, double time, const std::u16string &shared)
{
    return {std::u16string(name) + u" = " + formatEngineering(time, u"s") + shared, shortestText(time)};
}

} // namespace

TimingReadout timingReadout(const EnteredValues &read, const TimingResult &times)
{
    const std::u16string shared = sharedLines(read, times);
    return {boxReadout(u"T1", times.t1, shared), boxReadout(u"T2", times.t2, shared),
            boxReadout(u"T", times.t, shared)};
}

} // namespace ferolune::calc
