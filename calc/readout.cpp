#include "calc/readout.h"

#include "calc/engineering_notation.h"
#include "calc/numeric_text.h"

#include <limits>

namespace ferolune::calc {

namespace {

constexpr std::u16string_view Hints[] = {
    u"R_A：电阻，单位为 Ω\n只读开头的数：“10k”读作 10，10 kΩ 请输入 10000",
    u"R_B：电阻，单位为 Ω\n只读开头的数：“68k”读作 68，68 kΩ 请输入 68000",
    u"C：电容，单位为 μF\n只读开头的数：“100n”读作 100，100 nF 请输入 0.1",
};

// The three lines every box ends with: frequency, duty cycle and the values read.
std::u16string sharedLines(const EnteredValues &read, const TimingResult &times)
{
    // Without a positive period there is neither; the notation writes "—" for
    // a NaN as for a quotient beyond the double range.
    const double none = std::numeric_limits<double>::quiet_NaN();
    const double frequency = times.t > 0 ? 1 / times.t : none;
    const double duty = times.t > 0 ? times.t1 / times.t : none;
    return u"\n频率 f = " + formatEngineering(frequency, Unit::Hertz) + u"\n占空比 T1/T = " + formatPercent1(duty)
        + u"\n读入 R_A = " + formatEngineering(read.ra, Unit::Ohm) + u"，R_B = " + formatEngineering(read.rb, Unit::Ohm)
        + u"，C = " + formatEngineering(read.c, Unit::Farad);
}

ResultReadout boxReadout(const std::u16string &warnings, std::u16string_view name, double time,
                         const std::u16string &shared)
{
    return {warnings + std::u16string(name) + u" = " + formatEngineering(time, Unit::Second) + shared,
            formatFifteenDigits(time)};
}

std::u16string entryReadout(Entry entry, const std::u16string &warning, double value, Unit unit)
{
    return warning + u"计算时读作 " + formatEngineering(value, unit) + u"\n" + std::u16string(entryHint(entry));
}

} // namespace

TimingReadout timingReadout(const TimingInput &typed, const TimingTexts &calculation)
{
    const std::u16string ra = readingWarning(Entry::Ra, TrimSpaces(typed.ra));
    const std::u16string rb = readingWarning(Entry::Rb, TrimSpaces(typed.rb));
    const std::u16string c = readingWarning(Entry::C, TrimSpaces(typed.c));
    const std::u16string warnings = ra + rb + c + designWarnings(calculation.read, calculation.times);

    const EnteredValues &read = calculation.read;
    const TimingResult &times = calculation.times;
    const std::u16string shared = sharedLines(read, times);
    return {boxReadout(warnings, u"T1", times.t1, shared),   boxReadout(warnings, u"T2", times.t2, shared),
            boxReadout(warnings, u"T", times.t, shared),     entryReadout(Entry::Ra, ra, read.ra, Unit::Ohm),
            entryReadout(Entry::Rb, rb, read.rb, Unit::Ohm), entryReadout(Entry::C, c, read.c, Unit::Farad)};
}

std::u16string_view entryHint(Entry entry)
{
    return Hints[std::size_t(entry)];
}

} // namespace ferolune::calc
