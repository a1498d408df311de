// How fast the calculate button answers, and how the number reading and the
// formatting compare with the C library doing the same work.
#include "calc/design_search.h"
#include "calc/numeric_text.h"
#include "calc/readout.h"
#include "calc/timing.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

namespace {

using namespace ferolune::calc;

// The typical request: 1000 ohms, " 1000 " ohms, 10 microfarads.
const TimingInput TypicalRequest{u"1000", u" 1000 ", u"10"};

void BM_Calculate_TypicalRequest(benchmark::State &state)
{
    for (auto _ : state) {
        CalculateOutcome outcome = Calculate(TypicalRequest);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(BM_Calculate_TypicalRequest);

// The audio tone (1000 Ω, 6800 Ω, 0.1 μF): the click alone, then with the
// readout of the result and entry boxes' tooltips and copy entries; then the
// tone typed with units, whose readout warns four times. Each should stay
// under 5 µs.
const TimingInput AudioTone{u"1000", u"6800", u"0.1"};
const TimingInput ToneWithUnits{u"10k", u"68k", u"10u"};

void BM_Calculate_AudioTone(benchmark::State &state)
{
    for (auto _ : state) {
        CalculateOutcome outcome = Calculate(AudioTone);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(BM_Calculate_AudioTone);

void calculateAndReadout(benchmark::State &state, const TimingInput &input)
{
    for (auto _ : state) {
        CalculateOutcome outcome = Calculate(input);
        TimingReadout readout = timingReadout(input, std::get<TimingTexts>(outcome));
        benchmark::DoNotOptimize(outcome);
        benchmark::DoNotOptimize(readout);
    }
}
BENCHMARK_CAPTURE(calculateAndReadout, AudioTone, AudioTone);
BENCHMARK_CAPTURE(calculateAndReadout, WithWarnings_10k_68k_10u, ToneWithUnits);

// The three trimmed entries of the typical request and a few typed by hand.
const std::u16string Entries[] = {u"1000", u"10", u"-2.2e-3", u"47.5", u"0.000001"};

std::string narrow(std::u16string_view text)
{
    return std::string(text.begin(), text.end());
}

void BM_LeadingNumber(benchmark::State &state)
{
    const std::u16string &text = Entries[state.range(0)];
    state.SetLabel(narrow(text));
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(LeadingNumber(text));
    }
}
BENCHMARK(BM_LeadingNumber)->DenseRange(0, std::size(Entries) - 1);

void BM_Strtod(benchmark::State &state)
{
    const std::string text = narrow(Entries[state.range(0)]);
    state.SetLabel(text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(std::strtod(text.c_str(), nullptr));
    }
}
BENCHMARK(BM_Strtod)->DenseRange(0, std::size(Entries) - 1);

// T1, T2 and T of the typical request, a value with many integer digits and a large one.
const double Values[] = {0.01386, 0.00693, 0.02079, 1234.5678, -2.675, 1.2345678901234567e20};

void BM_FormatFixed2(benchmark::State &state)
{
    double value = Values[state.range(0)];
    state.SetLabel(std::to_string(value));
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        std::u16string text = FormatFixed2(value);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_FormatFixed2)->DenseRange(0, std::size(Values) - 1);

void BM_Snprintf(benchmark::State &state)
{
    double value = Values[state.range(0)];
    state.SetLabel(std::to_string(value));
    std::array<char, 400> text{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        std::snprintf(text.data(), text.size(), "%.2f", value);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_Snprintf)->DenseRange(0, std::size(Values) - 1);

// Long texts: the reading must stay linear in the length.
std::u16string longText(char16_t fill, std::size_t length)
{
    return std::u16string(length, fill);
}

void BM_LeadingNumber_LongFractionDigits(benchmark::State &state)
{
    const std::u16string text = u"0." + longText(u'3', std::size_t(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(LeadingNumber(text));
    state.SetBytesProcessed(state.iterations() * state.range(0) * 2);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LeadingNumber_LongFractionDigits)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_LeadingNumber_LongBlanksThenDigit(benchmark::State &state)
{
    const std::u16string text = longText(u' ', std::size_t(state.range(0))) + u"7";
    for (auto _ : state)
        benchmark::DoNotOptimize(LeadingNumber(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LeadingNumber_LongBlanksThenDigit)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_LeadingNumber_LongHexDigits(benchmark::State &state)
{
    const std::u16string text = u"&H" + longText(u'0', std::size_t(state.range(0))) + u"1";
    for (auto _ : state)
        benchmark::DoNotOptimize(LeadingNumber(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LeadingNumber_LongHexDigits)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A megabyte in each entry: 512 Ki UTF-16 characters of digits, letters and blanks.
void BM_Calculate_MegabyteEntries(benchmark::State &state)
{
    constexpr std::size_t Length = 1 << 19;
    const TimingInput input{u"1" + longText(u'0', 300) + u"e-300" + longText(u'x', Length),
                            longText(u'0', Length) + u"47",
                            u" " + longText(u'\u3000', Length / 2) + u"1" + longText(u' ', Length / 2)};
    for (auto _ : state) {
        CalculateOutcome outcome = Calculate(input);
        benchmark::DoNotOptimize(outcome);
    }
    state.SetLabel("3 x 1 MB");
}
BENCHMARK(BM_Calculate_MegabyteEntries)->Unit(benchmark::kMillisecond);

// The design window's search as the user types: the default space, E24 x E6,
// and the largest, E96 x E12 (10.8 million combinations if each were tried),
// for the infrared carrier, the buzzer and a slow blink. Each should stay under 5 ms.
void searchDesign(benchmark::State &state, ResistorSeries resistors, CapacitorSeries capacitors)
{
    constexpr DesignTarget Targets[] = {{38e3, 0.5}, {1e3, 0.6}, {0.5, 0.9}};
    const DesignTarget &target = Targets[state.range(0)];
    const DesignSpace space{resistorValues(resistors), capacitorValues(capacitors),
                            resistors == ResistorSeries::E96 ? 0.01 : 0.05};
    state.SetLabel(std::to_string(target.frequency) + " Hz, " + std::to_string(target.duty));
    for (auto _ : state) {
        std::vector<DesignCandidate> found = searchDesigns(target, space);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK_CAPTURE(searchDesign, E24xE6, ResistorSeries::E24, CapacitorSeries::E6)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(searchDesign, E96xE12, ResistorSeries::E96, CapacitorSeries::E12)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond);

// What each keystroke costs: reading the four fields, the series, the search.
void BM_DesignFor_TypedFields(benchmark::State &state)
{
    for (auto _ : state) {
        DesignAnswer answer = designFor(u"38 kHz", u"50%", ResistorSeries::E96, u"E12");
        benchmark::DoNotOptimize(answer);
    }
}
BENCHMARK(BM_DesignFor_TypedFields)->Unit(benchmark::kMicrosecond);

} // namespace
