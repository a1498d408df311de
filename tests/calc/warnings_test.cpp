#include "calc/timing.h"
#include "calc/warnings.h"

#include "table_rows.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <variant>

namespace ferolune::calc {
namespace {

struct ReadingRow
{
    std::string name;
    Entry entry;
    std::u16string trimmed;
    std::u16string warning;
};

class ReadingWarningTest : public testing::TestWithParam<ReadingRow>
{};

TEST_P(ReadingWarningTest, NamesWhatWasNotRead)
{
    EXPECT_EQ(readingWarning(GetParam().entry, GetParam().trimmed), GetParam().warning);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadingWarningTest,
    testing::Values(
        ReadingRow{"Number", Entry::Ra, u"1000", u""},
        ReadingRow{"BlanksInsideAndAfterAreRead", Entry::Rb, u"6 800\t", u""},
        ReadingRow{"FullWidthDigitsAreRead", Entry::C, u"０．１", u""},
        ReadingRow{"NegativeIsReadAsTyped", Entry::Ra, u"-1000", u""},
        ReadingRow{"KiloSuffix", Entry::Ra, u"10k", u"注意：R_A 输入“10k”读作 10 Ω（“k”未计入，单位为 Ω）\n"},
        ReadingRow{"NanoSuffix", Entry::C, u"100n", u"注意：C 输入“100n”读作 100 μF（“n”未计入，单位为 μF）\n"},
        ReadingRow{"BlankBeforeTheUnit", Entry::Rb, u"68 kΩ",
                   u"注意：R_B 输入“68 kΩ”读作 68 Ω（“kΩ”未计入，单位为 Ω）\n"},
        ReadingRow{"ThousandsComma", Entry::Rb, u"10,000",
                   u"注意：R_B 输入“10,000”读作 10 Ω（“,000”未计入，单位为 Ω）\n"},
        ReadingRow{"ExponentWithoutDigits", Entry::Ra, u"1e", u"注意：R_A 输入“1e”读作 1 Ω（“e”未计入，单位为 Ω）\n"},
        ReadingRow{"ReadValueInFifteenDigits", Entry::C, u"0.1nF",
                   u"注意：C 输入“0.1nF”读作 0.1 μF（“nF”未计入，单位为 μF）\n"},
        // The box's own unit after the number is read as meant.
        ReadingRow{"OhmInChinese", Entry::Ra, u"1000欧", u""}, ReadingRow{"MicrofaradsGreek", Entry::C, u"0.1 μf", u""},
        ReadingRow{"MicrofaradsMicroSign", Entry::C, u"4.7µF", u""},
        ReadingRow{"MicrofaradsInChinese", Entry::C, u"10 微法", u""},
        ReadingRow{"OhmsInTheCapacitor", Entry::C, u"10 Ω", u"注意：C 输入“10 Ω”读作 10 μF（“Ω”未计入，单位为 μF）\n"},
        ReadingRow{"MicroInTheResistor", Entry::Rb, u"10u", u"注意：R_B 输入“10u”读作 10 Ω（“u”未计入，单位为 Ω）\n"},
        ReadingRow{"Megohms", Entry::Ra, u"1M", u"注意：R_A 输入“1M”读作 1 Ω（“M”未计入，单位为 Ω）\n"},
        ReadingRow{"Millifarads", Entry::C, u"1mF", u"注意：C 输入“1mF”读作 1 μF（“mF”未计入，单位为 μF）\n"},
        ReadingRow{"UnitAndMore", Entry::C, u"10uF 16V",
                   u"注意：C 输入“10uF 16V”读作 10 μF（“uF 16V”未计入，单位为 μF）\n"},
        ReadingRow{"NoNumber", Entry::Ra, u"abc", u"注意：R_A 输入“abc”读作 0 Ω（开头不是数）\n"},
        ReadingRow{"LoneMinus", Entry::C, u"-", u"注意：C 输入“-”读作 0 μF（开头不是数）\n"},
        ReadingRow{"PastedParagraphShownOnOneLine", Entry::C, u"10u\u2029x",
                   u"注意：C 输入“10u x”读作 10 μF（“u x”未计入，单位为 μF）\n"},
        ReadingRow{"PastedTabShownAsBlank", Entry::C, u"10u\tx",
                   u"注意：C 输入“10u x”读作 10 μF（“u x”未计入，单位为 μF）\n"},
        ReadingRow{"TwentyCharactersShownWhole", Entry::Ra, u"1000 ohm carbon film",
                   u"注意：R_A 输入“1000 ohm carbon film”读作 1000 Ω（“ohm carbon film”未计入，单位为 Ω）\n"},
        ReadingRow{"CutBeforeAnEmojiNotInIt", Entry::Ra, u"1kabcdefghijklmnop😀x",
                   u"注意：R_A 输入“1kabcdefghijklmnop…”读作 1 Ω（“kabcdefghijklmnop😀x”未计入，单位为 Ω）\n"},
        ReadingRow{"LongPasteCutShort", Entry::Ra, u"10kΩ carbon film 1/4 W 5%",
                   u"注意：R_A 输入“10kΩ carbon film 1/…”读作 10 Ω（“kΩ carbon film 1/4 …”未计入，"
                   u"单位为 Ω）\n"}),
    rowName<ReadingRow>);

struct DesignRow
{
    std::string name;
    TimingInput typed;
    std::u16string warnings;
};

class DesignWarningsTest : public testing::TestWithParam<DesignRow>
{};

TEST_P(DesignWarningsTest, WarnsOfDesignsThatCannotWork)
{
    const CalculateOutcome outcome = Calculate(GetParam().typed);
    ASSERT_TRUE(std::holds_alternative<TimingTexts>(outcome));
    const TimingTexts &calculation = std::get<TimingTexts>(outcome);
    EXPECT_EQ(designWarnings(calculation.read, calculation.times), GetParam().warnings);
}

const std::u16string RaZero = u"注意：R_A = 0：放电时电源经 7 脚直接短路，会烧坏 555\n";
const std::u16string RaSmall = u"注意：R_A 小于 1 kΩ：7 脚的放电电流超过数据手册给出的范围（15 V 时 15 mA）\n";
const std::u16string RbZero = u"注意：R_B = 0：电容经 7 脚直接放电，T2 = 0，占空比 100%\n";
const std::u16string TooFast = u"注意：f 超过 500 kHz：双极型 555 达不到，实际频率会低于计算值，可改用 CMOS 型 555\n";

INSTANTIATE_TEST_SUITE_P(
    Table, DesignWarningsTest,
    testing::Values(
        DesignRow{"LedBlinker", {u"10000", u"68000", u"10"}, u""},
        DesignRow{"AudioTone", {u"1000", u"6800", u"0.1"}, u""},
        DesignRow{"InfraredCarrier", {u"1000", u"18000", u"0.001"}, u""},
        DesignRow{"SlowTimer", {u"1e6", u"1e6", u"1000"}, u""},
        DesignRow{"NegativeRa", {u"-1000", u"6800", u"0.1"}, u"注意：R_A 为负数：电阻不能为负，这组结果没有意义\n"},
        DesignRow{"NegativeRb", {u"10000", u"-1", u"0.1"}, u"注意：R_B 为负数：电阻不能为负，这组结果没有意义\n"},
        DesignRow{"NegativeC", {u"1000", u"6800", u"-0.1"}, u"注意：C 为负数：电容不能为负，这组结果没有意义\n"},
        DesignRow{"ZeroC", {u"1000", u"6800", u"0"}, u"注意：C = 0：没有定时电容，电路不会振荡\n"},
        DesignRow{"ZeroPeriod", {u"0", u"0", u"0.1"}, u"注意：T = 0：电路不会振荡\n" + RaZero + RbZero},
        DesignRow{"ZeroPeriodOfNegativeRa",
                  {u"-2000", u"1000", u"0.1"},
                  u"注意：R_A 为负数：电阻不能为负，这组结果没有意义\n注意：T = 0：电路不会振荡\n"},
        DesignRow{"ZeroRa", {u"0", u"6800", u"0.1"}, RaZero},
        DesignRow{"NegativeZeroRa", {u"-0", u"6800", u"0.1"}, RaZero},
        DesignRow{"RaJustBelowMinimum", {u"999.9", u"6800", u"0.1"}, RaSmall},
        DesignRow{"ZeroRb", {u"1000", u"0", u"0.1"}, RbZero},
        DesignRow{"JustAbove500Kilohertz", {u"1000", u"1000", u"0.000962"}, TooFast},
        DesignRow{"JustBelow500Kilohertz", {u"1000", u"1000", u"0.000963"}, u""}),
    rowName<DesignRow>);

} // namespace
} // namespace ferolune::calc
