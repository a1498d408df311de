#include "calc/readout.h"
#include "calc/timing.h"

#include "table_rows.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <variant>

namespace ferolune::calc {
namespace {

struct ReadoutRow
{
    std::string name;
    TimingInput input;
    // The first line of each box, then the three lines they share.
    std::u16string t1, t2, t, shared;
    // What the copy entry of each box puts on the clipboard.
    std::u16string exactT1, exactT2, exactT;
};

class ReadoutTest : public testing::TestWithParam<ReadoutRow>
{};

// Through Calculate, so the readout is made of what the calculation read.
TEST_P(ReadoutTest, TellsTimesFrequencyDutyAndReading)
{
    const ReadoutRow &row = GetParam();
    const CalculateOutcome outcome = Calculate(row.input);
    ASSERT_TRUE(std::holds_alternative<TimingTexts>(outcome));
    const TimingTexts &calculation = std::get<TimingTexts>(outcome);
    const TimingReadout readout = timingReadout(calculation.read, calculation.times);

    EXPECT_EQ(readout.t1.detail, row.t1 + u"\n" + row.shared);
    EXPECT_EQ(readout.t2.detail, row.t2 + u"\n" + row.shared);
    EXPECT_EQ(readout.t.detail, row.t + u"\n" + row.shared);
    EXPECT_EQ(readout.t1.exact, row.exactT1);
    EXPECT_EQ(readout.t2.exact, row.exactT2);
    EXPECT_EQ(readout.t.exact, row.exactT);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadoutTest,
                         testing::Values(ReadoutRow{"AudioTone",
                                                    {u"1000", u"6800", u"0.1"},
                                                    u"T1 = 540.5 μs",
                                                    u"T2 = 471.2 μs",
                                                    u"T = 1.012 ms",
                                                    u"频率 f = 988.4 Hz\n占空比 T1/T = 53.4%\n"
                                                    u"读入 R_A = 1.000 kΩ，R_B = 6.800 kΩ，C = 100.0 nF",
                                                    u"0.0005405399999999999",
                                                    u"0.00047123999999999994",
                                                    u"0.0010117799999999999"},
                                         ReadoutRow{"LedBlinker",
                                                    {u"1000", u"10000", u"47"},
                                                    u"T1 = 358.3 ms",
                                                    u"T2 = 325.7 ms",
                                                    u"T = 684.0 ms",
                                                    u"频率 f = 1.462 Hz\n占空比 T1/T = 52.4%\n"
                                                    u"读入 R_A = 1.000 kΩ，R_B = 10.00 kΩ，C = 47.00 μF",
                                                    u"0.35828099999999996",
                                                    u"0.32570999999999994",
                                                    u"0.6839909999999999"},
                                         ReadoutRow{"InfraredCarrier",
                                                    {u"1000", u"18000", u"0.001"},
                                                    u"T1 = 13.17 μs",
                                                    u"T2 = 12.47 μs",
                                                    u"T = 25.64 μs",
                                                    u"频率 f = 39.00 kHz\n占空比 T1/T = 51.4%\n"
                                                    u"读入 R_A = 1.000 kΩ，R_B = 18.00 kΩ，C = 1.000 nF",
                                                    u"1.3167e-05",
                                                    u"1.2474e-05",
                                                    u"2.5640999999999997e-05"},
                                         // Reading stops where the number ends: the readout says so.
                                         ReadoutRow{"SuffixesNotRead",
                                                    {u"1k", u"10k", u"100μF"},
                                                    u"T1 = 762.3 μs",
                                                    u"T2 = 693.0 μs",
                                                    u"T = 1.455 ms",
                                                    u"频率 f = 687.1 Hz\n占空比 T1/T = 52.4%\n"
                                                    u"读入 R_A = 1.000 Ω，R_B = 10.00 Ω，C = 100.0 μF",
                                                    u"0.0007622999999999998",
                                                    u"0.0006929999999999999",
                                                    u"0.0014552999999999999"},
                                         ReadoutRow{"ZeroPeriodHasNoFrequency",
                                                    {u"0", u"0", u"0"},
                                                    u"T1 = 0.000 s",
                                                    u"T2 = 0.000 s",
                                                    u"T = 0.000 s",
                                                    u"频率 f = —\n占空比 T1/T = —\n"
                                                    u"读入 R_A = 0.000 Ω，R_B = 0.000 Ω，C = 0.000 F",
                                                    u"0",
                                                    u"0",
                                                    u"0"},
                                         ReadoutRow{"NegativePeriodHasNoFrequency",
                                                    {u"-30000", u"10000", u"100"},
                                                    u"T1 = -1.386 s",
                                                    u"T2 = 693.0 ms",
                                                    u"T = -693.0 ms",
                                                    u"频率 f = —\n占空比 T1/T = —\n"
                                                    u"读入 R_A = -30.00 kΩ，R_B = 10.00 kΩ，C = 100.0 μF",
                                                    u"-1.3859999999999997",
                                                    u"0.6929999999999998",
                                                    u"-0.6929999999999998"},
                                         // 1/T leaves the double range; T1/T is 1.
                                         ReadoutRow{"SubnormalPeriodHasNoFrequency",
                                                    {u"1e-300", u"0", u"1e-10"},
                                                    u"T1 = 6.930e-317 s",
                                                    u"T2 = 0.000 s",
                                                    u"T = 6.930e-317 s",
                                                    u"频率 f = —\n占空比 T1/T = 100.0%\n"
                                                    u"读入 R_A = 1.000e-300 Ω，R_B = 0.000 Ω，C = 1.000e-16 F",
                                                    u"6.93e-317",
                                                    u"0",
                                                    u"6.93e-317"}),
                         rowName<ReadoutRow>);

} // namespace
} // namespace ferolune::calc
