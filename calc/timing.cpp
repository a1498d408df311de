#include "calc/timing.h"

#include "calc/numeric_text.h"

#include <cmath>

namespace ferolune::calc {

TimingResult computeTiming(double ra, double rb, double c)
{
    TimingResult result;
    result.t = (2.0 * rb + ra) * TimingCoefficient * c;
    result.t1 = (rb + ra) * TimingCoefficient * c;
    result.t2 = rb * TimingCoefficient * c;

    // A sum or product that once left the range stays an infinity or becomes a
    // NaN, and so does one with a non-finite input (an infinity times the zero
    // of C is a NaN too), so the three results tell whether any step overflowed.
    if (!std::isfinite(result.t) || !std::isfinite(result.t1) || !std::isfinite(result.t2))
        throw OverflowError();
    return result;
}

CalculateOutcome Calculate(const TimingInput &input)
{
    const std::u16string_view ra = TrimSpaces(input.ra);
    const std::u16string_view rb = TrimSpaces(input.rb);
    const std::u16string_view c = TrimSpaces(input.c);
    if (ra.empty() || rb.empty() || c.empty())
        return IncompleteData{};

    const double raOhms = LeadingNumber(ra);
    const double rbOhms = LeadingNumber(rb);
    const double cFarads = LeadingNumber(c) * MicrofaradScale;

    const TimingResult times = computeTiming(raOhms, rbOhms, cFarads);
    return TimingTexts{
        FormatFixed2(times.t1), FormatFixed2(times.t2), FormatFixed2(times.t), {raOhms, rbOhms, cFarads}, times};
}

} // namespace ferolune::calc
