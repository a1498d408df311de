#include "calc/numeric_text.h"
#include "calc/timing.h"

#include "table_rows.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <variant>

namespace ferolune::calc {
namespace {

TEST(TimingConstants, AreThoseOfTheFormulas)
{
    EXPECT_EQ(TimingCoefficient, 0.693);
    EXPECT_EQ(MicrofaradScale, 1e-6);
}

// ------------------------------------------------------------ complete input

struct TimingRow
{
    std::string name;
    TimingInput input;
    TimingTexts expected;
};

class CalculateTest : public testing::TestWithParam<TimingRow>
{};

TEST_P(CalculateTest, GivesTheThreeTexts)
{
    const CalculateOutcome outcome = Calculate(GetParam().input);
    ASSERT_TRUE(std::holds_alternative<TimingTexts>(outcome));
    const TimingTexts &texts = std::get<TimingTexts>(outcome);
    EXPECT_EQ(texts.t1, GetParam().expected.t1);
    EXPECT_EQ(texts.t2, GetParam().expected.t2);
    EXPECT_EQ(texts.t, GetParam().expected.t);
}

TEST_P(CalculateTest, GivesTheSameTextsTwice)
{
    const CalculateOutcome first = Calculate(GetParam().input);
    const CalculateOutcome second = Calculate(GetParam().input);
    ASSERT_TRUE(std::holds_alternative<TimingTexts>(first));
    ASSERT_TRUE(std::holds_alternative<TimingTexts>(second));
    EXPECT_EQ(std::get<TimingTexts>(first).t1, std::get<TimingTexts>(second).t1);
    EXPECT_EQ(std::get<TimingTexts>(first).t2, std::get<TimingTexts>(second).t2);
    EXPECT_EQ(std::get<TimingTexts>(first).t, std::get<TimingTexts>(second).t);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CalculateTest,
    testing::Values(
        TimingRow{"TypicalRequest", {u"1000", u" 1000 ", u"10"}, {u"0.01", u"0.01", u"0.02"}},
        TimingRow{"TenKilohmsHundredMicrofarads", {u"10000", u"10000", u"100"}, {u"1.39", u"0.69", u"2.08"}},
        TimingRow{"AllZero", {u"0", u"0", u"0"}, {u"0.00", u"0.00", u"0.00"}},
        TimingRow{"SpacesAround", {u" 47 ", u"  47", u"1000000 "}, {u"65.14", u"32.57", u"97.71"}},
        TimingRow{"SpaceInsideNumber", {u"1 000", u"1000", u"10"}, {u"0.01", u"0.01", u"0.02"}},
        TimingRow{"LettersCountAsZero", {u"abc", u"10000", u"100"}, {u"0.69", u"0.69", u"1.39"}},
        TimingRow{"SuffixIgnored", {u"10k", u"10k", u"100\u03bcF"}, {u"0.00", u"0.00", u"0.00"}},
        TimingRow{"NegativeResistance", {u"-30000", u"10000", u"100"}, {u"-1.39", u"0.69", u"-0.69"}},
        TimingRow{"OnlyTabReadsZero", {u"\t", u"10000", u"100"}, {u"0.69", u"0.69", u"1.39"}},
        TimingRow{"FullWidthEntries",
                  {u"\uff11\uff10\uff10\uff10\uff10", u"\u3000\uff11\uff10\uff10\uff10\uff10", u"\uff11\uff10\uff10"},
                  {u"1.39", u"0.69", u"2.08"}},
        TimingRow{"IdeographicFullStops",
                  {u"\u30021e5", u"1\u3002e4", u"1\uff10\uff10\u3002\uff10"},
                  {u"1.39", u"0.69", u"2.08"}},
        TimingRow{"HexAndExponent", {u"&H2710", u"1e4", u"1d2"}, {u"1.39", u"0.69", u"2.08"}},
        TimingRow{"LargeValuesShowAllDigits",
                  {u"1e20", u"1e20", u"1e6"},
                  {u"138600000000000000000.00", u"69300000000000000000.00", u"207900000000000000000.00"}},
        // T is computed on its own and need not be T1 + T2 in the last decimal.
        TimingRow{"PeriodIsNotTheSumOfShownTimes", {u"0", u"10", u"1000"}, {u"0.01", u"0.01", u"0.01"}},
        TimingRow{"NegativeResultRoundingToZero", {u"-1", u"0", u"1"}, {u"0.00", u"0.00", u"0.00"}},
        TimingRow{"NegativeCapacitance", {u"10000", u"10000", u"-100"}, {u"-1.39", u"-0.69", u"-2.08"}},
        TimingRow{"UnderflowingCapacitance", {u"1000", u"1000", u"1e-400"}, {u"0.00", u"0.00", u"0.00"}},
        TimingRow{"HugeResistanceTimesZero", {u"1e300", u"1e300", u"0"}, {u"0.00", u"0.00", u"0.00"}}),
    rowName<TimingRow>);

// ---------------------------------------------------------- incomplete input

struct IncompleteRow
{
    std::string name;
    TimingInput input;
};

class CalculateIncompleteTest : public testing::TestWithParam<IncompleteRow>
{};

TEST_P(CalculateIncompleteTest, AsksForAllData)
{
    EXPECT_TRUE(std::holds_alternative<IncompleteData>(Calculate(GetParam().input)));
}

INSTANTIATE_TEST_SUITE_P(Table, CalculateIncompleteTest,
                         testing::Values(IncompleteRow{"AllEmpty", {u"", u"", u""}},
                                         IncompleteRow{"RaEmpty", {u"", u"1000", u"10"}},
                                         IncompleteRow{"RbEmpty", {u"1000", u"", u"10"}},
                                         IncompleteRow{"CEmpty", {u"1000", u"1000", u""}},
                                         IncompleteRow{"RaOnlySpaces", {u"   ", u"1000", u"10"}},
                                         IncompleteRow{"RbOnlyIdeographicSpaces", {u"1000", u"\u3000\u3000", u"10"}},
                                         IncompleteRow{"COnlyMixedSpaces", {u"1000", u"1000", u" \u3000 "}},
                                         // The incomplete answer comes before any number is read.
                                         IncompleteRow{"EmptyBesideOverflowingEntry", {u"1e999", u"", u"10"}},
                                         IncompleteRow{"EmptyBesideOverflowingProduct", {u"1e308", u"1e308", u" "}}),
                         rowName<IncompleteRow>);

// ------------------------------------------------------------------ overflow

struct OverflowRow
{
    std::string name;
    TimingInput input;
};

class CalculateOverflowTest : public testing::TestWithParam<OverflowRow>
{};

TEST_P(CalculateOverflowTest, Throws)
{
    EXPECT_THROW(Calculate(GetParam().input), OverflowError);
}

INSTANTIATE_TEST_SUITE_P(Table, CalculateOverflowTest,
                         testing::Values(OverflowRow{"RaText", {u"1e999", u"1000", u"10"}},
                                         OverflowRow{"RbText", {u"1000", u"1e999", u"10"}},
                                         OverflowRow{"CText", {u"1000", u"1000", u"1e999"}},
                                         OverflowRow{"TwiceRbEvenWithZeroC", {u"1", u"1e308", u"0"}},
                                         OverflowRow{"SumOfResistances", {u"1.7e308", u"1.7e308", u"1"}},
                                         OverflowRow{"ProductWithCapacitance", {u"1e200", u"1e200", u"1e200"}},
                                         OverflowRow{"NegativeOverflow", {u"-1e308", u"-1e308", u"1"}},
                                         OverflowRow{"HexEntry", {u"1", u"1", u"&H" + std::u16string(300, u'F')}}),
                         rowName<OverflowRow>);

// -------------------------------------------------------------- the formulas

struct FormulaRow
{
    std::string name;
    double ra, rb, c;
};

class ComputeTimingTest : public testing::TestWithParam<FormulaRow>
{};

TEST_P(ComputeTimingTest, RoundsEachOperationInTheFormulasOrder)
{
    const auto [name, ra, rb, c] = GetParam();
    // Each step stored in a volatile so that no step is fused with the next.
    volatile double step = 2.0 * rb;
    step = step + ra;
    step = step * 0.693;
    const double t = step * c;
    step = rb + ra;
    step = step * 0.693;
    const double t1 = step * c;
    step = rb * 0.693;
    const double t2 = step * c;

    const TimingResult result = computeTiming(ra, rb, c);
    EXPECT_EQ(result.t, t);
    EXPECT_EQ(result.t1, t1);
    EXPECT_EQ(result.t2, t2);
}

INSTANTIATE_TEST_SUITE_P(Table, ComputeTimingTest,
                         testing::Values(FormulaRow{"Typical", 1000, 1000, 1e-5},
                                         FormulaRow{"Thirds", 1.0 / 3, 2.0 / 3, 1e-6 / 3},
                                         FormulaRow{"Negative", -30000, 10000, 1e-4},
                                         FormulaRow{"NearlyOverflowing", 1e307, 4e307, 1},
                                         FormulaRow{"Subnormal", 1e-300, 1e-300, 1e-20}),
                         rowName<FormulaRow>);

TEST(ComputeTiming, KnownValues)
{
    const TimingResult result = computeTiming(1000, 1000, 10 * MicrofaradScale);
    EXPECT_NEAR(result.t, 0.02079, 1e-15);
    EXPECT_NEAR(result.t1, 0.01386, 1e-15);
    EXPECT_NEAR(result.t2, 0.00693, 1e-15);
}

class ComputeTimingOverflowTest : public testing::TestWithParam<FormulaRow>
{};

TEST_P(ComputeTimingOverflowTest, Throws)
{
    const auto [name, ra, rb, c] = GetParam();
    EXPECT_THROW(computeTiming(ra, rb, c), OverflowError);
}

constexpr double Max = std::numeric_limits<double>::max();

INSTANTIATE_TEST_SUITE_P(Table, ComputeTimingOverflowTest,
                         testing::Values(FormulaRow{"TwiceRb", 0, Max, 0}, FormulaRow{"TwiceRbPlusRa", Max, Max / 2, 0},
                                         FormulaRow{"ProductWithC", 0, 1e300, 1e300},
                                         FormulaRow{"InfiniteC", 0, 1, std::numeric_limits<double>::infinity()},
                                         // Each time can leave the range while the other two stay in it.
                                         FormulaRow{"OnlyT", 0, 1e300, 2e8}, FormulaRow{"OnlyT1", 1e300, -0.4e300, 5e8},
                                         FormulaRow{"OnlyT2", -1.5e300, 1e300, 2.7e8}),
                         rowName<FormulaRow>);

TEST(ComputeTiming, QuarterOfTheLargestDoubleStaysInRange)
{
    EXPECT_NO_THROW(computeTiming(Max / 4, Max / 4, 1));
}

} // namespace
} // namespace ferolune::calc
