#include "calc/engineering_notation.h"

#include "table_rows.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace ferolune::calc {
namespace {

constexpr double Largest = std::numeric_limits<double>::max();
constexpr double SmallestSubnormal = std::numeric_limits<double>::denorm_min();
constexpr double Infinity = std::numeric_limits<double>::infinity();

// --------------------------------------------------------- FormatEngineering

struct EngineeringRow
{
    std::string name;
    double value;
    Unit unit;
    std::u16string text;
};

class FormatEngineeringTest : public testing::TestWithParam<EngineeringRow>
{};

TEST_P(FormatEngineeringTest, WritesFourDigitsAndAPrefix)
{
    EXPECT_EQ(formatEngineering(GetParam().value, GetParam().unit), GetParam().text);
}

constexpr Unit S = Unit::Second, Hz = Unit::Hertz, F = Unit::Farad, Ohm = Unit::Ohm;

INSTANTIATE_TEST_SUITE_P(
    Table, FormatEngineeringTest,
    testing::Values(EngineeringRow{"Microseconds", 540.54e-6, S, u"540.5 μs"},
                    EngineeringRow{"Milliseconds", 0.0010117799999999999, S, u"1.012 ms"},
                    EngineeringRow{"Hertz", 988.3571527407145, Hz, u"988.4 Hz"},
                    EngineeringRow{"Kilohertz", 39020, Hz, u"39.02 kHz"},
                    EngineeringRow{"TrailingZerosStay", 6800, Ohm, u"6.800 kΩ"},
                    EngineeringRow{"Nanofarads", 1e-7, F, u"100.0 nF"},
                    EngineeringRow{"Megohms", 2e6, Ohm, u"2.000 MΩ"},
                    EngineeringRow{"NoPrefixBetweenMilliAndKilo", 47, Ohm, u"47.00 Ω"},
                    EngineeringRow{"KiloFromOneThousand", 1000, Ohm, u"1.000 kΩ"},
                    EngineeringRow{"JustBelowKiloStaysBelow", 999.949, Ohm, u"999.9 Ω"},
                    EngineeringRow{"JustBelowOneStaysMilli", 0.999949, S, u"999.9 ms"},
                    // The double of 0.99995 lies just above the half.
                    EngineeringRow{"HalfBelowOneCarriesToOne", 0.99995, S, u"1.000 s"},
                    EngineeringRow{"CarryIntoNextPrefix", 999.96e-6, S, u"1.000 ms"},
                    EngineeringRow{"CarryIntoNextDigit", 9.9996, S, u"10.00 s"},
                    EngineeringRow{"NegativeCarry", -999.96e-6, S, u"-1.000 ms"},
                    // The double of 1.0005 lies just below the half.
                    EngineeringRow{"JustBelowHalfRoundsDown", 1.0005, S, u"1.000 s"},
                    // Exact decimal ties: to even these would be 12.34 k, 1.062 and 1.234e+15.
                    EngineeringRow{"ExactTieAwayFromZero", 12345, Ohm, u"12.35 kΩ"},
                    EngineeringRow{"NegativeExactTieAwayFromZero", -12345, Ohm, u"-12.35 kΩ"},
                    EngineeringRow{"ExactBinaryFractionTie", 1.0625, S, u"1.063 s"},
                    EngineeringRow{"ExactTieCarriesIntoNextPrefix", 99995, Ohm, u"100.0 kΩ"},
                    EngineeringRow{"ExactTieWithExponent", 1.2345e15, S, u"1.235e+15 s"},
                    // 1.2345e21 is no double; the nearest lies below it.
                    EngineeringRow{"NoTieBeyondTheExactIntegers", 1.2345e21, Hz, u"1.234e+21 Hz"},
                    EngineeringRow{"Zero", 0, S, u"0.000 s"}, EngineeringRow{"NegativeZero", -0.0, S, u"0.000 s"},
                    EngineeringRow{"ZeroFaradsInMicrofarads", 0, F, u"0.000 μF"},
                    EngineeringRow{"Negative", -540.54e-6, S, u"-540.5 μs"},
                    // Each unit's own prefixes, and what lies beyond them.
                    EngineeringRow{"OneNanosecond", 1e-9, S, u"1.000 ns"},
                    EngineeringRow{"BelowOneNanosecondStaysNano", 0.99994e-9, S, u"0.9999 ns"},
                    EngineeringRow{"ThreeZerosAfterThePoint", 1e-13, S, u"0.0001000 ns"},
                    EngineeringRow{"FourZerosTakeAnExponent", 9.9994e-14, S, u"9.999e-14 s"},
                    EngineeringRow{"ThousandSecondsStaySeconds", 2079, S, u"2079 s"},
                    EngineeringRow{"SixIntegerDigits", 999949, S, u"999900 s"},
                    EngineeringRow{"SevenIntegerDigitsTakeAnExponent", 999950, S, u"1.000e+06 s"},
                    EngineeringRow{"BelowOneHertzStaysHertz", 0.98836, Hz, u"0.9884 Hz"},
                    EngineeringRow{"SlowTimerFrequency", 4.81e-4, Hz, u"0.0004810 Hz"},
                    EngineeringRow{"FourZerosOfHertzTakeAnExponent", 9.9994e-5, Hz, u"9.999e-05 Hz"},
                    EngineeringRow{"OneMegahertz", 1e6, Hz, u"1.000 MHz"},
                    EngineeringRow{"ThousandMegahertzStayMega", 1.5e9, Hz, u"1500 MHz"},
                    EngineeringRow{"OnePicofarad", 1e-12, F, u"1.000 pF"},
                    EngineeringRow{"RoundsUpToOnePicofarad", 0.99996e-12, F, u"1.000 pF"},
                    EngineeringRow{"BelowOnePicofaradStaysPico", 0.5e-12, F, u"0.5000 pF"},
                    EngineeringRow{"JustBelowOneMicrofarad", 999.94e-9, F, u"999.9 nF"},
                    EngineeringRow{"ThousandMicrofaradsStayMicro", 1e-3, F, u"1000 μF"},
                    EngineeringRow{"OneFaradTakesAnExponent", 1, F, u"1.000e+00 F"},
                    EngineeringRow{"BelowOneOhm", 0.5, Ohm, u"0.5000 Ω"},
                    EngineeringRow{"ThousandMegohmsStayMega", 1e9, Ohm, u"1000 MΩ"},
                    EngineeringRow{"FarBelowOnePico", 6.93e-16, S, u"6.930e-16 s"},
                    EngineeringRow{"SmallestSubnormal", SmallestSubnormal, S, u"4.941e-324 s"},
                    EngineeringRow{"LargestDouble", Largest, Ohm, u"1.798e+308 Ω"},
                    EngineeringRow{"NegativeLargestDouble", -Largest, Ohm, u"-1.798e+308 Ω"},
                    EngineeringRow{"InfinityIsNoValue", Infinity, Hz, u"—"},
                    EngineeringRow{"NaNIsNoValue", std::numeric_limits<double>::quiet_NaN(), Hz, u"—"}),
    rowName<EngineeringRow>);

// ------------------------------------------------------------ FormatPercent1

class FormatPercent1Test : public testing::TestWithParam<TextRow>
{};

TEST_P(FormatPercent1Test, WritesOneDecimal)
{
    EXPECT_EQ(formatPercent1(GetParam().value), GetParam().text);
}

// The largest double in per cent: its 309 integer digits, two zeros more.
std::u16string largestInPercent()
{
    std::array<char, 320> digits;
    char *const end =
        std::to_chars(digits.data(), digits.data() + digits.size(), Largest, std::chars_format::fixed, 0).ptr;
    return std::u16string(digits.data(), end) + u"00.0%";
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatPercent1Test,
    testing::Values(TextRow{"ToneExample", 0.5342465753424658, u"53.4%"},
                    TextRow{"LedExample", 0.5238095238095238, u"52.4%"}, TextRow{"Half", 0.5, u"50.0%"},
                    TextRow{"Whole", 1, u"100.0%"}, TextRow{"Zero", 0, u"0.0%"}, TextRow{"NegativeZero", -0.0, u"0.0%"},
                    TextRow{"NegativeRoundingToZero", -0.00004, u"0.0%"}, TextRow{"Negative", -1, u"-100.0%"},
                    TextRow{"CarryToHundred", 0.99951, u"100.0%"}, TextRow{"JustBelowCarry", 0.99949, u"99.9%"},
                    // 0.0015 x 100 is the double just below 0.15.
                    TextRow{"RoundsTheFractionNotItsHundredfold", 0.0015, u"0.2%"},
                    TextRow{"ExactTieAwayFromZero", 0.5625, u"56.3%"},
                    TextRow{"SmallestSubnormal", SmallestSubnormal, u"0.0%"},
                    TextRow{"LargestDouble", Largest, largestInPercent()},
                    TextRow{"InfinityIsNoValue", -Infinity, u"—"}),
    rowName<TextRow>);

// ------------------------------------------------------- FormatFifteenDigits

class FormatFifteenDigitsTest : public testing::TestWithParam<TextRow>
{};

TEST_P(FormatFifteenDigitsTest, CopiesFifteenDigits)
{
    EXPECT_EQ(formatFifteenDigits(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatFifteenDigitsTest,
                         testing::Values(TextRow{"TonePeriod", 0.0010117799999999999, u"0.00101178"},
                                         TextRow{"InfraredChargeTime", 1.3167e-05, u"0.000013167"},
                                         TextRow{"Negative", -1.3859999999999997, u"-1.386"}, TextRow{"Zero", 0, u"0"},
                                         TextRow{"NegativeZero", -0.0, u"0"},
                                         TextRow{"SixteenthDigitRounds", 0.12345678901234549, u"0.123456789012345"},
                                         TextRow{"CarryIntoNextPower", 9.9999999999999991e-5, u"0.0001"},
                                         TextRow{"OneNanosecondFixed", 1e-9, u"0.000000001"},
                                         TextRow{"BelowOneNanosecondExponent", 9.9e-10, u"9.9e-10"},
                                         TextRow{"FifteenIntegerDigits", 123456789012345, u"123456789012345"},
                                         TextRow{"SixteenIntegerDigitsExponent", 1234567890123456,
                                                 u"1.23456789012346e+15"},
                                         // A subnormal has fewer than 15 digits of its own.
                                         TextRow{"Subnormal", 6.93e-317, u"6.92999992381674e-317"},
                                         TextRow{"InfinityIsNoValue", Infinity, u"—"}),
                         rowName<TextRow>);

// ------------------------------------------ against the exact decimal value

// The C library writes a double's exact decimal expansion when asked for enough
// digits (a double has at most 767 significant ones). Cut three digits after
// the point and rounded by the first digit dropped, it is rounded half away
// from zero; a carry out of the first digit puts a 1 in front ("10.00e-03").
std::string exactRoundedHalfUp(double value, std::chars_format format)
{
    std::vector<char> buffer(1500);
    const int length = format == std::chars_format::scientific
        ? std::snprintf(buffer.data(), buffer.size(), "%.780e", value)
        : std::snprintf(buffer.data(), buffer.size(), "%.1080f", value);
    std::string exact(buffer.data(), std::size_t(length));
    const std::string exponent = exact.substr(std::min(exact.find('e'), exact.size()));
    const std::size_t kept = exact.find('.') + 4;
    bool carry = exact[kept] >= '5';
    exact.resize(kept);
    for (std::size_t i = kept; carry && i-- > 0;) {
        if (exact[i] == '9') {
            exact[i] = '0';
        } else if (exact[i] != '.') {
            ++exact[i];
            carry = false;
        }
    }
    return (carry ? "1" : "") + exact + exponent;
}

// Each exact tie, and its neighbours on either side.
void addTie(std::vector<double> &samples, double tie)
{
    samples.insert(samples.end(), {std::nextafter(tie, 0.0), tie, std::nextafter(tie, Infinity)});
}

// Any normal double (subnormals have too few bits to read back four digits),
// ties of four digits from both kinds of exact decimal (12345 x 10^j and 17/16
// x 10^j), and their neighbours.
TEST(FormatEngineeringProperty, RoundsTheExactValueHalfAwayFromZero)
{
    std::mt19937_64 random(20260808);
    std::uniform_int_distribution<int> digits(1000, 9999), sixteenths(8, 79), power(0, 10);
    std::vector<double> samples;
    for (int round = 0; round < 5000; ++round) {
        const double any = std::fabs(std::bit_cast<double>(random()));
        if (std::isnormal(any))
            samples.push_back(any);
        const double scale = std::pow(10.0, power(random));
        addTie(samples, (digits(random) * 10 + 5) * scale);
        addTie(samples, (sixteenths(random) * 2 + 1) / 16.0 * scale);
    }
    for (const double value : samples) {
        // The four digits rounded by hand, read as a double and written again.
        const std::string rounded = exactRoundedHalfUp(value, std::chars_format::scientific);
        const double reference = std::strtod(rounded.c_str(), nullptr);
        if (std::isinf(reference)) // 1.798e+308 is beyond the largest double
            continue;
        ASSERT_EQ(formatEngineering(value, Unit::Second), formatEngineering(reference, Unit::Second))
            << rounded << " from " << testing::PrintToString(value);
    }
}

// Fractions of all sizes, ties of three decimals (9/16) and their neighbours.
TEST(FormatPercent1Property, RoundsTheExactFractionHalfAwayFromZero)
{
    std::mt19937_64 random(20260809);
    std::uniform_real_distribution<double> fraction(0, 2);
    std::uniform_int_distribution<int> sixteenths(0, 15), power(-3, 30);
    std::vector<double> samples;
    for (int round = 0; round < 5000; ++round) {
        samples.push_back(fraction(random) * std::pow(10.0, power(random)));
        addTie(samples, (sixteenths(random) * 2 + 1) / 16.0);
    }
    for (const double value : samples) {
        const std::string rounded = exactRoundedHalfUp(value, std::chars_format::fixed);
        const double reference = std::strtod(rounded.c_str(), nullptr);
        ASSERT_EQ(formatPercent1(value), formatPercent1(reference))
            << rounded << " from " << testing::PrintToString(value);
    }
}

} // namespace
} // namespace ferolune::calc
