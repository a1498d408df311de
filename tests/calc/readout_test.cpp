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
    // The warnings every box starts with, then each box's own line, then the
    // three lines they share.
    std::u16string warnings, t1, t2, t, shared;
    // What the copy entry of each box puts on the clipboard.
    std::u16string exactT1, exactT2, exactT;
};

class ReadoutTest : public testing::TestWithParam<ReadoutRow>
{};

// Through Calculate, so the readout is made of what the calculation read.
TEST_P(ReadoutTest, TellsWarningsTimesFrequencyDutyAndReading)
{
    const ReadoutRow &row = GetParam();
    const CalculateOutcome outcome = Calculate(row.input);
    ASSERT_TRUE(std::holds_alternative<TimingTexts>(outcome));
    const TimingReadout readout = timingReadout(row.input, std::get<TimingTexts>(outcome));
    EXPECT_EQ(readout.t1.detail, row.warnings + row.t1 + u"\n" + row.shared);
    EXPECT_EQ(readout.t2.detail, row.warnings + row.t2 + u"\n" + row.shared);
    EXPECT_EQ(readout.t.detail, row.warnings + row.t + u"\n" + row.shared);
    EXPECT_EQ(readout.t1.exact, row.exactT1);
    EXPECT_EQ(readout.t2.exact, row.exactT2);
    EXPECT_EQ(readout.t.exact, row.exactT);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadoutTest,
    testing::Values(
        ReadoutRow{"LedBlinker",
                   {u"10000", u"68000", u"10"},
                   u"",
                   u"T1 = 540.5 ms",
                   u"T2 = 471.2 ms",
                   u"T = 1.012 s",
                   u"频率 f = 0.9884 Hz\n占空比 T1/T = 53.4%\n读入 R_A = 10.00 kΩ，R_B = 68.00 kΩ，C = 10.00 μF",
                   u"0.54054",
                   u"0.47124",
                   u"1.01178"},
        ReadoutRow{"AudioTone",
                   {u"1000", u"6800", u"0.1"},
                   u"",
                   u"T1 = 540.5 μs",
                   u"T2 = 471.2 μs",
                   u"T = 1.012 ms",
                   u"频率 f = 988.4 Hz\n占空比 T1/T = 53.4%\n读入 R_A = 1.000 kΩ，R_B = 6.800 kΩ，C = 100.0 nF",
                   u"0.00054054",
                   u"0.00047124",
                   u"0.00101178"},
        ReadoutRow{"InfraredCarrier",
                   {u"1000", u"18000", u"0.001"},
                   u"",
                   u"T1 = 13.17 μs",
                   u"T2 = 12.47 μs",
                   u"T = 25.64 μs",
                   u"频率 f = 39.00 kHz\n占空比 T1/T = 51.4%\n读入 R_A = 1.000 kΩ，R_B = 18.00 kΩ，C = 1.000 nF",
                   u"0.000013167",
                   u"0.000012474",
                   u"0.000025641"},
        ReadoutRow{"SlowTimer",
                   {u"1e6", u"1e6", u"1000"},
                   u"",
                   u"T1 = 1386 s",
                   u"T2 = 693.0 s",
                   u"T = 2079 s",
                   u"频率 f = 0.0004810 Hz\n占空比 T1/T = 66.7%\n读入 R_A = 1.000 MΩ，R_B = 1.000 MΩ，C = 1000 μF",
                   u"1386",
                   u"693",
                   u"2079"},
        ReadoutRow{"UnitsTypedAsWritten",
                   {u"10k", u"68k", u"10u"},
                   u"注意：R_A 输入“10k”读作 10 Ω（“k”未计入，单位为 Ω）\n"
                   u"注意：R_B 输入“68k”读作 68 Ω（“k”未计入，单位为 Ω）\n"
                   u"注意：R_A 小于 1 kΩ：7 脚的放电电流超过数据手册给出的范围（15 V 时 15 mA）\n",
                   u"T1 = 540.5 μs",
                   u"T2 = 471.2 μs",
                   u"T = 1.012 ms",
                   u"频率 f = 988.4 Hz\n占空比 T1/T = 53.4%\n读入 R_A = 10.00 Ω，R_B = 68.00 Ω，C = 10.00 μF",
                   u"0.00054054",
                   u"0.00047124",
                   u"0.00101178"},
        ReadoutRow{"ZeroPeriodHasNoFrequency",
                   {u"0", u"0", u"0"},
                   u"注意：C = 0：没有定时电容，电路不会振荡\n注意：R_A = 0：放电时电源经 7 脚直接短路，会烧坏 555\n"
                   u"注意：R_B = 0：电容经 7 脚直接放电，T2 = 0，占空比 100%\n",
                   u"T1 = 0.000 s",
                   u"T2 = 0.000 s",
                   u"T = 0.000 s",
                   u"频率 f = —\n占空比 T1/T = —\n读入 R_A = 0.000 Ω，R_B = 0.000 Ω，C = 0.000 μF",
                   u"0",
                   u"0",
                   u"0"},
        ReadoutRow{"NegativePeriodHasNoFrequency",
                   {u"-30000", u"10000", u"100"},
                   u"注意：R_A 为负数：电阻不能为负，这组结果没有意义\n",
                   u"T1 = -1.386 s",
                   u"T2 = 693.0 ms",
                   u"T = -693.0 ms",
                   u"频率 f = —\n占空比 T1/T = —\n读入 R_A = -30.00 kΩ，R_B = 10.00 kΩ，C = 100.0 μF",
                   u"-1.386",
                   u"0.693",
                   u"-0.693"},
        // 1/T leaves the double range; T1/T is 1. A subnormal has fewer than 15 digits of its own.
        ReadoutRow{"SubnormalPeriodHasNoFrequency",
                   {u"1e-300", u"0", u"1e-10"},
                   u"注意：R_A 小于 1 kΩ：7 脚的放电电流超过数据手册给出的范围（15 V 时 15 mA）\n"
                   u"注意：R_B = 0：电容经 7 脚直接放电，T2 = 0，占空比 100%\n"
                   u"注意：f 超过 500 kHz：双极型 555 达不到，实际频率会低于计算值，可改用 CMOS 型 555\n",
                   u"T1 = 6.930e-317 s",
                   u"T2 = 0.000 s",
                   u"T = 6.930e-317 s",
                   u"频率 f = —\n占空比 T1/T = 100.0%\n读入 R_A = 1.000e-300 Ω，R_B = 0.000 Ω，C = 0.0001000 pF",
                   u"6.92999992381674e-317",
                   u"0",
                   u"6.92999992381674e-317"}),
    rowName<ReadoutRow>);

struct HintRow
{
    std::string name;
    TimingInput input;
    HintPlace place;
    std::u16string text;
};

class HintTest : public testing::TestWithParam<HintRow>
{};

TEST_P(HintTest, SpeaksUpWhereTheBoxesMislead)
{
    const HintRow &row = GetParam();
    const TimingReadout readout = timingReadout(row.input, std::get<TimingTexts>(Calculate(row.input)));
    EXPECT_EQ(readout.hint.place, row.place);
    EXPECT_EQ(readout.hint.text, row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HintTest,
    testing::Values(HintRow{"LedBlinkerShowsItsTimes", {u"10000", u"68000", u"10"}, HintPlace::None, u""},
                    HintRow{"SlowTimerShowsItsTimes", {u"1e6", u"1e6", u"1000"}, HintPlace::None, u""},
                    HintRow{"KilohmsAtTheFirstEntryNotReadAsTyped",
                            {u"10k", u"68k", u"10u"},
                            HintPlace::Ra,
                            u"注意：R_A 输入“10k”读作 10 Ω（“k”未计入，单位为 Ω）\n"
                            u"注意：R_B 输入“68k”读作 68 Ω（“k”未计入，单位为 Ω）\n"
                            u"注意：R_A 小于 1 kΩ：7 脚的放电电流超过数据手册给出的范围（15 V 时 15 mA）\n"
                            u"T1 = 540.5 μs\nT2 = 471.2 μs\nT = 1.012 ms\n频率 f = 988.4 Hz\n占空比 T1/T = 53.4%"},
                    HintRow{"PicofaradsTakenForMicrofarads",
                            {u"1000", u"6800", u"470p"},
                            HintPlace::C,
                            u"注意：C 输入“470p”读作 470 μF（“p”未计入，单位为 μF）"},
                    HintRow{"AudioToneLostInTwoDecimals",
                            {u"1000", u"6800", u"0.1"},
                            HintPlace::T,
                            u"T1 = 540.5 μs\nT2 = 471.2 μs\nT = 1.012 ms\n频率 f = 988.4 Hz\n占空比 T1/T = 53.4%"},
                    HintRow{"InfraredCarrierLostInTwoDecimals",
                            {u"1000", u"18000", u"0.001"},
                            HintPlace::T,
                            u"T1 = 13.17 μs\nT2 = 12.47 μs\nT = 25.64 μs\n频率 f = 39.00 kHz\n占空比 T1/T = 51.4%"},
                    HintRow{"OwnUnitsRaiseNoWarning",
                            {u"1000Ω", u"18000 ohm", u"0.01uF"},
                            HintPlace::T,
                            u"T1 = 131.7 μs\nT2 = 124.7 μs\nT = 256.4 μs\n频率 f = 3.900 kHz\n占空比 T1/T = 51.4%"},
                    HintRow{"ShortedDischargeWarnsFirst",
                            {u"0", u"10000", u"0.1"},
                            HintPlace::T,
                            u"注意：R_A = 0：放电时电源经 7 脚直接短路，会烧坏 555\n"
                            u"T1 = 693.0 μs\nT2 = 693.0 μs\nT = 1.386 ms\n频率 f = 721.5 Hz\n占空比 T1/T = 50.0%"},
                    HintRow{"ZeroDischargeIsNoLostTime",
                            {u"10000", u"0", u"100"},
                            HintPlace::T,
                            u"注意：R_B = 0：电容经 7 脚直接放电，T2 = 0，占空比 100%"}),
    rowName<HintRow>);

// An entry box tells its own warning, what it was read as, and its hint.
TEST(EntryReadoutTest, TellsWarningReadingAndHint)
{
    const TimingInput typed{u"1000", u"6800", u"100n"};
    const TimingReadout readout = timingReadout(typed, std::get<TimingTexts>(Calculate(typed)));
    EXPECT_EQ(readout.c,
              u"注意：C 输入“100n”读作 100 μF（“n”未计入，单位为 μF）\n计算时读作 100.0 μF\n"
              u"C：电容，单位为 μF\n只读开头的数：“100n”读作 100，100 nF 请输入 0.1");
}

} // namespace
} // namespace ferolune::calc
