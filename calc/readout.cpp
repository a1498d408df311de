#include "calc/readout.h"

#include "calc/engineering_notation.h"
#include "calc/numeric_text.h"

#include <initializer_list>
#include <limits>

namespace ferolune::calc {

namespace {

constexpr std::u16string_view Hints[] = {
    u"R_A：电阻，单位为 Ω\n只读开头的数：“10k”读作 10，10 kΩ 请输入 10000",
    u"R_B：电阻，单位为 Ω\n只读开头的数：“68k”读作 68，68 kΩ 请输入 68000",
    u"C：电容，单位为 μF\n只读开头的数：“100n”读作 100，100 nF 请输入 0.1",
};

// The pieces one after the other, with one allocation.
std::u16string join(std::initializer_list<std::u16string_view> pieces)
{
    std::size_t size = 0;
    for (const std::u16string_view piece : pieces)
        size += piece.size();
    std::u16string text;
    text.reserve(size);
    for (const std::u16string_view piece : pieces)
        text += piece;
    return text;
}

} // namespace

TimingReadout timingReadout(const TimingInput &typed, const TimingTexts &calculation)
{
    const EnteredValues &read = calculation.read;
    const TimingResult &times = calculation.times;
    const std::u16string notRead[] = {readingWarning(Entry::Ra, TrimSpaces(typed.ra)),
                                      readingWarning(Entry::Rb, TrimSpaces(typed.rb)),
                                      readingWarning(Entry::C, TrimSpaces(typed.c))};
    const std::u16string design = designWarnings(read, times);
    const std::u16string warnings = join({notRead[0], notRead[1], notRead[2], design});

    // Without a positive period there is neither frequency nor duty cycle; the
    // notation writes "—" for a NaN as for a quotient beyond the double range.
    const double none = std::numeric_limits<double>::quiet_NaN();
    const std::u16string frequency = formatEngineering(times.t > 0 ? 1 / times.t : none, Unit::Hertz);
    const std::u16string duty = formatPercent1(times.t > 0 ? times.t1 / times.t : none);
    const std::u16string ra = formatEngineering(read.ra, Unit::Ohm);
    const std::u16string rb = formatEngineering(read.rb, Unit::Ohm);
    const std::u16string c = formatEngineering(read.c, Unit::Farad);
    const std::u16string t1 = join({u"T1 = ", formatEngineering(times.t1, Unit::Second)});
    const std::u16string t2 = join({u"T2 = ", formatEngineering(times.t2, Unit::Second)});
    const std::u16string t = join({u"T = ", formatEngineering(times.t, Unit::Second)});
    const std::u16string rates = join({u"\n频率 f = ", frequency, u"\n占空比 T1/T = ", duty});
    // The lines every result box ends with.
    const std::u16string shared = join({rates, u"\n读入 R_A = ", ra, u"，R_B = ", rb, u"，C = ", c});

    const auto box = [&](std::u16string_view line, double time) {
        return ResultReadout{join({warnings, line, shared}), formatFifteenDigits(time)};
    };
    const auto entry = [&](Entry which, std::u16string_view value) {
        const std::u16string_view warning = notRead[std::size_t(which)];
        return join({warning, u"计算时读作 ", value, u"\n", entryHint(which)});
    };
    TimingReadout readout{box(t1, times.t1),
                          box(t2, times.t2),
                          box(t, times.t),
                          entry(Entry::Ra, ra),
                          entry(Entry::Rb, rb),
                          entry(Entry::C, c),
                          {}};

    // FormatFixed2 writes no "-0.00".
    const auto lost = [](const std::u16string &text, double time) { return text == u"0.00" && time != 0; };
    const bool decimalsLost =
        lost(calculation.t1, times.t1) || lost(calculation.t2, times.t2) || lost(calculation.t, times.t);
    CalculationHint &hint = readout.hint;
    for (const HintPlace place : {HintPlace::Ra, HintPlace::Rb, HintPlace::C}) {
        if (!notRead[std::size_t(place) - std::size_t(HintPlace::Ra)].empty()) {
            hint.place = place;
            break;
        }
    }
    if (hint.place == HintPlace::None && (decimalsLost || !design.empty()))
        hint.place = HintPlace::T;
    if (hint.place != HintPlace::None) {
        hint.text = decimalsLost ? join({warnings, t1, u"\n", t2, u"\n", t, rates}) : warnings;
        if (hint.text.back() == u'\n')
            hint.text.pop_back();
    }
    return readout;
}

std::u16string_view entryHint(Entry entry)
{
    return Hints[std::size_t(entry)];
}

} // namespace ferolune::calc
