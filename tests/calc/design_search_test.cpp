#include "calc/design_search.h"
#include "calc/timing.h"
#include "calc/warnings.h"

#include "table_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <variant>

namespace ferolune::calc {
namespace {

struct FirstRow
{
    std::string name;
    std::u16string target, duty;
    ResistorSeries resistors;
    std::u16string capacitor;
    // The texts 填入 writes, then the row the list shows, its columns joined by " | ".
    std::u16string texts, shown;
};

class FirstCandidateTest : public testing::TestWithParam<FirstRow>
{};

// Every candidate is what the main window computes from the texts it writes.
TEST_P(FirstCandidateTest, IsTheBestAndWhatTheMainWindowComputes)
{
    const FirstRow &row = GetParam();
    const DesignAnswer answer = designFor(row.target, row.duty, row.resistors, row.capacitor);
    ASSERT_EQ(answer.candidates.size(), 8u);
    const DesignCandidate &first = answer.candidates.front();
    EXPECT_EQ(first.ra.text + u" " + first.rb.text + u" " + first.c.text, row.texts);
    std::u16string shown;
    for (const std::u16string &column : designRow(first))
        shown += (shown.empty() ? u"" : u" | ") + column;
    EXPECT_EQ(shown, row.shown);
    for (const DesignCandidate &candidate : answer.candidates) {
        const auto texts = std::get<TimingTexts>(Calculate({candidate.ra.text, candidate.rb.text, candidate.c.text}));
        EXPECT_EQ(candidate.frequency, 1 / texts.times.t);
        EXPECT_EQ(candidate.duty, texts.times.t1 / texts.times.t);
        EXPECT_EQ(texts.read.c, candidate.c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FirstCandidateTest,
    testing::Values(FirstRow{"InfraredCarrier38kHzAt50", u"38k", u"50", ResistorSeries::E24, u"E6", u"1000 18000 0.001",
                             u"1 kΩ | 18 kΩ | 1 nF | 39.00 kHz | 51.4% | 2.7% | 33.77–45.61 kHz"},
                    FirstRow{"Buzzer1kHzAt60", u"1 kHz", u"60%", ResistorSeries::E24, u"E6", u"1800 3900 0.15",
                             u"1.8 kΩ | 3.9 kΩ | 150 nF | 1.002 kHz | 59.4% | 1.0% | 867.6 Hz–1.172 kHz"},
                    FirstRow{"Blink1HzAt67", u"1 Hz", u"67", ResistorSeries::E24, u"E6", u"2200 2200 220",
                             u"2.2 kΩ | 2.2 kΩ | 220 μF | 0.9938 Hz | 66.7% | 0.6% | 0.7887–1.308 Hz"},
                    FirstRow{"Period2sAt90", u"2 s", u"90", ResistorSeries::E24, u"E6", u"3300000 470000 0.68",
                             u"3.3 MΩ | 470 kΩ | 680 nF | 0.5005 Hz | 88.9% | 1.2% | 0.4333–0.5854 Hz"},
                    FirstRow{"Tone100kHzAt55", u"100 kHz", u"55", ResistorSeries::E24, u"E6", u"1000 4300 0.0015",
                             u"1 kΩ | 4.3 kΩ | 1.5 nF | 100.2 kHz | 55.2% | 0.4% | 86.76–117.2 kHz"},
                    FirstRow{"Buzzer1kHzAt60With100nTyped", u"1k", u"60", ResistorSeries::E24, u"100n",
                             u"3000 5600 0.1",
                             u"3 kΩ | 5.6 kΩ | 100 nF | 1.016 kHz | 60.6% | 1.6% | 879.8 Hz–1.189 kHz"},
                    FirstRow{"InfraredCarrierE96", u"38k", u"50", ResistorSeries::E96, u"E6", u"1000 18700 0.001",
                             u"1 kΩ | 18.7 kΩ | 1 nF | 37.58 kHz | 51.3% | 2.6% | 33.82–42.18 kHz"}),
    rowName<FirstRow>);

struct TargetRow
{
    std::string name;
    std::u16string typed;
    double hertz;
};

class TargetReadingTest : public testing::TestWithParam<TargetRow>
{};

TEST_P(TargetReadingTest, ReadsFrequencyOrPeriod)
{
    const auto read = readTargetFrequency(GetParam().typed);
    ASSERT_TRUE(std::holds_alternative<double>(read));
    EXPECT_DOUBLE_EQ(std::get<double>(read), GetParam().hertz);
}

INSTANTIATE_TEST_SUITE_P(Table, TargetReadingTest,
                         testing::Values(TargetRow{"Kilo", u"38k", 38e3}, TargetRow{"KiloHertz", u"38 kHz", 38e3},
                                         TargetRow{"Mega", u"1.5M", 1.5e6}, TargetRow{"Hertz", u"1 Hz", 1},
                                         TargetRow{"Seconds", u"2 s", 0.5}, TargetRow{"Milliseconds", u"500 ms", 2},
                                         TargetRow{"Microseconds", u"26.3 μs", 1 / 26.3e-6},
                                         TargetRow{"MicrosecondsTypedAsUs", u"26.3us", 1 / 26.3e-6},
                                         TargetRow{"FullWidth", u"３８ｋＨｚ", 38e3},
                                         TargetRow{"IdeographicPoint", u"2。5 kHz", 2.5e3}),
                         rowName<TargetRow>);

struct MessageRow
{
    std::string name;
    std::u16string target, duty, capacitor;
    std::u16string message;
    bool listed; // a warning above the list, not instead of it
};

class MessageTest : public testing::TestWithParam<MessageRow>
{};

TEST_P(MessageTest, SaysWhyInOneLine)
{
    const MessageRow &row = GetParam();
    const DesignAnswer answer = designFor(row.target, row.duty, ResistorSeries::E24, row.capacitor);
    EXPECT_EQ(answer.message, row.message);
    EXPECT_EQ(answer.candidates.empty(), !row.listed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageTest,
    testing::Values(
        MessageRow{"NotANumber", u"abc", u"60", u"E6", u"频率或周期要以数开头，如 38k、1 kHz、2 s、500 ms", false},
        MessageRow{"UnknownUnit", u"38 kV", u"60", u"E6", u"看不懂单位“kV”：频率用 Hz、kHz、MHz，周期用 s、ms、μs",
                   false},
        MessageRow{"ZeroFrequency", u"0 Hz", u"60", u"E6", u"频率或周期必须大于 0", false},
        MessageRow{"NegativePeriod", u"-2 s", u"60", u"E6", u"频率或周期必须大于 0", false},
        MessageRow{"BelowHalf", u"1k", u"40", u"E6",
                   u"占空比低于 50%：这个电路的占空比总大于 50%。更低的占空比要在 R_B "
                   u"上并联二极管，或把输出反相，本程序不计算这种接法",
                   false},
        MessageRow{"ExactlyHalf", u"1k", u"50%", u"E6",
                   u"注意：占空比 50% 只能接近，不能达到（R_B 比 R_A 大得越多越接近），下面是最接近的组合", true},
        MessageRow{"Whole", u"1k", u"100", u"E6", u"占空比必须小于 100%", false},
        MessageRow{"DutyNotANumber", u"1k", u"六十", u"E6", u"占空比要以数开头，如 60 或 60%", false},
        MessageRow{"CapacitorZero", u"1k", u"60", u"0n", u"电容必须大于 0", false},
        MessageRow{"CapacitorNegative", u"1k", u"60", u"-10u", u"电容必须大于 0", false},
        MessageRow{"CapacitorUnit", u"1k", u"60", u"10V", u"看不懂电容单位“V”：请用 pF、nF、μF，或 p、n、u", false},
        MessageRow{"AboveBipolarLimit", u"1 MHz", u"60", u"E6", beyondBipolar555Warning(), true},
        MessageRow{"OutOfReach", u"100000 s", u"60", u"E6",
                   u"注意：误差最小的一组也差 381.0%，所选元件（R 为 1 kΩ 到 10 MΩ）达不到这个目标", true}),
    rowName<MessageRow>);

// The search against every combination, where the list's order is the whole
// order of the space: the smaller error, then C, R_A and R_B.
struct SpaceRow
{
    std::string name;
    DesignTarget target;
    ResistorSeries resistors;
};

class ExhaustiveTest : public testing::TestWithParam<SpaceRow>
{};

TEST_P(ExhaustiveTest, FindsTheEightBestOfTheWholeSpace)
{
    const SpaceRow &row = GetParam();
    const DesignSpace space{resistorValues(row.resistors), capacitorValues(CapacitorSeries::E6), 0.05};
    std::vector<DesignCandidate> all;
    for (const Part &c : space.capacitors)
        for (const Part &ra : space.resistors)
            for (const Part &rb : space.resistors)
                all.push_back(evaluateDesign(ra, rb, c, row.target, space.resistorTolerance));
    std::partial_sort(all.begin(), all.begin() + 8, all.end(), designBefore);
    const std::vector<DesignCandidate> found = searchDesigns(row.target, space);
    ASSERT_EQ(found.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(found[i].ra.text + u" " + found[i].rb.text + u" " + found[i].c.text,
                  all[i].ra.text + u" " + all[i].rb.text + u" " + all[i].c.text);
        EXPECT_EQ(found[i].error, all[i].error);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ExhaustiveTest,
                         testing::Values(SpaceRow{"Infrared", {38e3, 0.5}, ResistorSeries::E12},
                                         SpaceRow{"Buzzer", {1e3, 0.6}, ResistorSeries::E12},
                                         SpaceRow{"Blink", {1, 0.67}, ResistorSeries::E12},
                                         SpaceRow{"Slow", {0.5, 0.9}, ResistorSeries::E12},
                                         SpaceRow{"NearlyWhole", {100e3, 0.99}, ResistorSeries::E12},
                                         SpaceRow{"OutOfReach", {1e-5, 0.6}, ResistorSeries::E12},
                                         SpaceRow{"TooFast", {1e6, 0.55}, ResistorSeries::E12},
                                         SpaceRow{"ToneE24", {1e3, 0.6}, ResistorSeries::E24}),
                         rowName<SpaceRow>);

} // namespace
} // namespace ferolune::calc
