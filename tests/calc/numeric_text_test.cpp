#include "calc/numeric_text.h"

#include "table_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

namespace ferolune::calc {
namespace {

std::u16string repeat(std::u16string_view piece, std::size_t times)
{
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::u16string concat(std::initializer_list<std::u16string_view> pieces)
{
    std::u16string text;
    for (std::u16string_view piece : pieces)
        text += piece;
    return text;
}

// The exact decimal value of 2^-n, which is 5^n / 10^n: "0." and n digits.
std::u16string exactPowerOfHalf(int n)
{
    std::u16string digits(std::size_t(n), u'0');
    digits.back() = u'1';
    for (int i = 0; i < n; ++i) {
        int carry = 0;
        for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
            const int product = (*digit - u'0') * 5 + carry;
            *digit = char16_t(u'0' + product % 10);
            carry = product / 10;
        }
    }
    return u"0." + digits;
}

// ---------------------------------------------------------------- TrimSpaces

struct TrimRow
{
    std::string name;
    std::u16string text;
    std::u16string trimmed;
};

class TrimSpacesTest : public testing::TestWithParam<TrimRow>
{};

TEST_P(TrimSpacesTest, KeepsAllButOuterSpaces)
{
    EXPECT_EQ(TrimSpaces(GetParam().text), GetParam().trimmed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrimSpacesTest,
    testing::Values(TrimRow{"Empty", u"", u""}, TrimRow{"TwoSpacesEachSide", u"  47  ", u"47"},
                    TrimRow{"OnlySpaces", u"   ", u""}, TrimRow{"OnlyIdeographicSpaces", u"\u3000\u3000", u""},
                    TrimRow{"MixedSpacesAround", u" \u3000 47\u3000 ", u"47"},
                    TrimRow{"InnerSpacesStay", u" 1 000 ", u"1 000"},
                    TrimRow{"InnerIdeographicSpaceStays", u"1\u30002", u"1\u30002"},
                    TrimRow{"OnlyTabStays", u"\t", u"\t"}, TrimRow{"TabsInsideSpacesStay", u" \t47\t ", u"\t47\t"},
                    TrimRow{"LineFeedStays", u"\n", u"\n"}, TrimRow{"CarriageReturnStays", u" \r ", u"\r"},
                    TrimRow{"NoBreakSpaceStays", u"\u00a0", u"\u00a0"},
                    TrimRow{"FullWidthDigitsUntouched", u"\u3000\uff14\uff17\u3000", u"\uff14\uff17"},
                    TrimRow{"NothingToTrim", u"abc", u"abc"}),
    rowName<TrimRow>);

// ------------------------------------------------------------- LeadingNumber

struct NumberRow
{
    std::string name;
    std::u16string text;
    double value;
};

class LeadingNumberTest : public testing::TestWithParam<NumberRow>
{};

TEST_P(LeadingNumberTest, ReadsNearestDouble)
{
    const NumberRow &row = GetParam();
    const double value = LeadingNumber(row.text);
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(std::signbit(value), std::signbit(row.value));
}

const NumberRow GrammarRows[] = {
    {"Empty", u"", 0.0},
    {"Integer", u"1000", 1000.0},
    {"NegativeWithExponentAndSpaces", u" -2.2e-3 ", -0.0022},
    {"PlusSign", u"+47", 47.0},
    {"LeadingPoint", u".5", 0.5},
    {"NegativeLeadingPoint", u"-.5", -0.5},
    {"TrailingPoint", u"5.", 5.0},
    {"CommaIsNoDecimalPoint", u"1,000", 1.0},
    {"CommaDecimalIsNot", u"1,5", 1.0},
    {"SecondPointEnds", u"1.2.3", 1.2},
    {"ExponentUpper", u"4.7E2", 470.0},
    {"ExponentLower", u"4.7e2", 470.0},
    {"ExponentPlus", u"1e+2", 100.0},
    {"ExponentMinus", u"25e-2", 0.25},
    {"ExponentAfterPoint", u"1.e3", 1000.0},
    {"ExponentFraction", u"1e2.5", 100.0},
    {"DExponent", u"1d2", 100.0},
    {"DExponentUpperNegative", u"5D-1", 0.5},
    {"ExponentWithoutDigits", u"1e", 1.0},
    {"ExponentSignWithoutDigits", u"1e+", 1.0},
    {"ExponentMinusWithoutDigits", u"1E-", 1.0},
    {"ExponentMarkerThenLetter", u"2ex", 2.0},
    {"LeadingZeros", u"000012", 12.0},
    {"NegativeZero", u"-0", -0.0},
    {"ZeroPointZero", u"0.000", 0.0},
    {"SuffixLetter", u"12k", 12.0},
    {"SuffixMicro", u"10\u03bcF", 10.0},
    {"Percent", u"50%", 50.0},
    {"Letters", u"abc", 0.0},
    {"LoneMinus", u"-", 0.0},
    {"LonePlus", u"+", 0.0},
    {"LonePoint", u".", 0.0},
    {"SignPoint", u"-.", 0.0},
    {"PointExponent", u".e5", 0.0},
    {"ExponentAlone", u"e5", 0.0},
    {"DoubleSign", u"--5", 0.0},
    {"MixedSigns", u"+-5", 0.0},
    {"Infinity", u"Infinity", 0.0},
    {"Inf", u"inf", 0.0},
    {"NaN", u"nan", 0.0},
    {"CStyleHex", u"0x10", 0.0},
    {"SpacesInside", u"1 000", 1000.0},
    {"SpacesEverywhere", u" - 1 . 5 e 1 ", -15.0},
    {"TabsAndLineFeedsInside", u"\t1\t0\n0\n", 100.0},
    {"OnlyTab", u"\t", 0.0},
    {"CarriageReturnEnds", u"1\r000", 1.0},
    {"NoBreakSpaceEnds", u"1\u00a0000", 1.0},
    {"NulEnds",
     std::u16string(u"12\0"
                    u"34",
                    5),
     12.0},
};
INSTANTIATE_TEST_SUITE_P(Grammar, LeadingNumberTest, testing::ValuesIn(GrammarRows), rowName<NumberRow>);

// How much of what the user typed the number takes; the rest is not read.
struct LengthRow
{
    std::string name;
    std::u16string text;
    std::size_t length;
};

class ReadLeadingNumberTest : public testing::TestWithParam<LengthRow>
{};

TEST_P(ReadLeadingNumberTest, TellsHowMuchWasRead)
{
    const LengthRow &row = GetParam();
    const LeadingNumberRead read = readLeadingNumber(row.text);
    EXPECT_EQ(read.length, row.length);
    EXPECT_EQ(read.value, LeadingNumber(row.text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadLeadingNumberTest,
    testing::Values(LengthRow{"AllOfIt", u"1000", 4}, LengthRow{"KiloSuffix", u"10k", 2},
                    LengthRow{"DigitAfterTheSuffix", u"4k7", 1}, LengthRow{"NanoSuffix", u"100n", 3},
                    LengthRow{"Comma", u"10,000", 2}, LengthRow{"FullWidthComma", u"10\uff0c000", 2},
                    LengthRow{"BlanksInsideAndAfter", u"1 000 x", 6}, LengthRow{"SignPointExponent", u"-.5e+3k", 6},
                    LengthRow{"ExponentWithoutDigits", u"1e", 1}, LengthRow{"ExponentSignWithoutDigits", u"2 e + ", 2},
                    LengthRow{"TabAfter", u"47\t", 3}, LengthRow{"Hexadecimal", u"&H1Fz", 4},
                    LengthRow{"RadixAlone", u"-&H", 0}, LengthRow{"Letters", u"abc", 0}, LengthRow{"LoneSign", u"-", 0},
                    LengthRow{"Empty", u"", 0}),
    rowName<LengthRow>);

const NumberRow RadixRows[] = {
    {"Hex", u"&H10", 16.0},
    {"HexLowerPrefix", u"&h10", 16.0},
    {"HexMixedCaseDigits", u"&HaBc", 2748.0},
    {"HexNegative", u"-&H10", -16.0},
    {"HexPlus", u"+&H10", 16.0},
    {"HexFFFFIsNotWrapped", u"&HFFFF", 65535.0},
    {"HexEightDigits", u"&HFFFFFFFF", 4294967295.0},
    {"HexNoDigits", u"&H", 0.0},
    {"HexNoDigitsNegative", u"-&H", -0.0},
    {"HexStopsAtG", u"&H1G", 1.0},
    {"HexSpacesInside", u"& H 1 0", 16.0},
    {"HexNoExponentOrPoint", u"&H1.5", 1.0},
    {"Octal", u"&O17", 15.0},
    {"OctalLowerPrefix", u"&o17", 15.0},
    {"OctalStopsAtEight", u"&O8", 0.0},
    {"OctalStopsAtNine", u"&O179", 15.0},
    {"OctalNegative", u"-&O777", -511.0},
    {"AmpersandAlone", u"&", 0.0},
    {"AmpersandDigits", u"&17", 0.0},
    {"AmpersandOtherLetter", u"&B101", 0.0},
    {"HexBeyond53BitsRoundsToEven", u"&H20000000000001", 9007199254740992.0},
    {"HexBeyond53BitsRoundsUp", u"&H20000000000003", 9007199254740996.0},
    {"HexTieBrokenByLaterDigit", concat({u"&H20000000000001", repeat(u"0", 20), u"1"}),
     std::ldexp(9007199254740994.0, 84)},
    {"HexTieWithZerosStaysEven", concat({u"&H20000000000001", repeat(u"0", 20)}), std::ldexp(9007199254740992.0, 80)},
    {"HexLargestDouble", concat({u"&H", repeat(u"F", 13), u"8", repeat(u"0", 242)}),
     std::numeric_limits<double>::max()},
    {"HexJustBelowOverflowHalf", concat({u"&H", repeat(u"F", 13), u"B", repeat(u"F", 242)}),
     std::numeric_limits<double>::max()},
    {"HexLeadingZerosDoNotCount", concat({u"&H", repeat(u"0", 1000), u"1"}), 1.0},
    {"OctalLong", concat({u"&O1", repeat(u"0", 100)}), std::ldexp(1.0, 300)},
    {"OctalTieBrokenByLaterDigit", concat({u"&O1", repeat(u"0", 17), u"2", repeat(u"0", 30), u"1"}),
     std::ldexp(1.0 + std::ldexp(1.0, -52), 147)},
    {"OctalTieStaysEven", concat({u"&O1", repeat(u"0", 17), u"2", repeat(u"0", 31)}), std::ldexp(1.0, 147)},
};
INSTANTIATE_TEST_SUITE_P(Radix, LeadingNumberTest, testing::ValuesIn(RadixRows), rowName<NumberRow>);

const NumberRow FullWidthRows[] = {
    {"Digits", u"\uff11\uff12\uff0e\uff15", 12.5},
    {"Minus", u"\uff0d\uff13", -3.0},
    {"Plus", u"\uff0b\uff13", 3.0},
    {"Exponent", u"\uff11\uff25\uff13", 1000.0},
    {"LowerExponentD", u"\uff11\uff44\uff12", 100.0},
    {"Hex", u"\uff06\uff28\uff11\uff46", 31.0},
    {"IdeographicSpaceInside", u"1\u3000000", 1000.0},
    {"IdeographicSpacesAround", u"\u3000\uff14\uff17\u3000", 47.0},
    {"MixedWidths", u"1\uff10.\uff15", 10.5},
    {"FullWidthCommaEnds", u"\uff11\uff0c\uff15", 1.0},
    {"FullWidthPercentEnds", u"\uff15\uff10\uff05", 50.0},
};
INSTANTIATE_TEST_SUITE_P(FullWidth, LeadingNumberTest, testing::ValuesIn(FullWidthRows), rowName<NumberRow>);

// What Chinese input methods give for the decimal point: "。", or "｡" in half-width forms.
const NumberRow IdeographicFullStopRows[] = {
    {"Between", u"2\u30025", 2.5},
    {"First", u"\u30025", 0.5},
    {"AfterFullWidthDigit", u"\uff14\u3002\uff17", 4.7},
    {"SecondEnds", u"1\u30022\u30023", 1.2},
    {"AfterDotEnds", u"1.2\u30023", 1.2},
    {"SignAndExponent", u"-\u30025e1", -5.0},
    {"HalfWidthForm", u"2\uff615", 2.5},
    {"Alone", u"\u3002", 0.0},
    {"ThenExponent", u"\u3002e5", 0.0},
    {"EndsHex", u"&H1\u30025", 1.0},
};
INSTANTIATE_TEST_SUITE_P(IdeographicFullStop, LeadingNumberTest, testing::ValuesIn(IdeographicFullStopRows),
                         rowName<NumberRow>);

const NumberRow PrecisionRows[] = {
    {"BeyondDoubleIntegers", u"9007199254740993", 9007199254740992.0},
    {"PointOneIsNearest", u"0.1", 0.1},
    {"LargestExactPowerOfTen", u"1e22", 1e22},
    {"FirstInexactPowerOfTen", u"1e23", 1e23},
    {"NineteenDigits", u"1234567890123456789", 1234567890123456789.0},
    {"TwentyDigits", u"12345678901234567891", 12345678901234567891.0},
    // Twenty digits just above 2^64, which no 64-bit integer holds.
    {"TwentyDigitsJustAboveTwoTo64", u"18446744073709551621", 18446744073709551616.0},
    {"TwentyDigitsJustAboveTwoTo65WithFraction", u"36893488147419103237.5", 36893488147419103232.0},
    {"TwoTo53", u"9007199254740992", 9007199254740992.0},
    {"SmallIntegerHugePower", u"3e300", 3e300},
    {"TrailingZerosKeepExactness", u"1500000000000000000000000e-3", 1.5e21},
    {"HardCaseReturns", u"2.2250738585072011e-308", 2.2250738585072009e-308},
    {"HardCaseTwo", u"2.2250738585072012e-308", 2.2250738585072014e-308},
    {"ManyZerosAfterPointThenExponent", concat({u"0.", repeat(u"0", 399), u"1e400"}), 1.0},
    {"FourHundredZerosAfterPoint", concat({u"0.", repeat(u"0", 400), u"1e400"}), 0.1},
    {"LongIntegerWithNegativeExponent", concat({u"1", repeat(u"0", 400), u"e-400"}), 1.0},
    {"LargestDouble", u"1.7976931348623157e308", std::numeric_limits<double>::max()},
    {"JustBelowOverflowHalf", u"1.7976931348623158e308", std::numeric_limits<double>::max()},
    {"JustBelowOverflowHalfLong", u"1.797693134862315807937289714053e308", std::numeric_limits<double>::max()},
    {"SmallestNormal", u"2.2250738585072014e-308", std::numeric_limits<double>::min()},
    {"SmallestSubnormal", u"4.9e-324", std::numeric_limits<double>::denorm_min()},
    {"RoundsUpToSmallestSubnormal", u"3e-324", std::numeric_limits<double>::denorm_min()},
    {"HalfSmallestSubnormalIsZero", u"2.4703282292062327e-324", 0.0},
    {"JustAboveHalfSmallestSubnormal", u"2.4703282292062328e-324", std::numeric_limits<double>::denorm_min()},
    {"UnderflowIsZero", u"1e-400", 0.0},
    {"NegativeUnderflowIsNegativeZero", u"-1e-400", -0.0},
    {"HugeNegativeExponent", u"1e-99999999999999999999", 0.0},
    {"ZeroWithHugeExponent", u"0e99999999999999999999", 0.0},
    {"ZerosWithHugeExponent", u"000.000e999999999999999999999999", 0.0},
    // Halfway between 0 and the smallest subnormal, 2^-1075: a tie that goes to
    // the even 0, and any digit after its 752 significant ones rounds it up.
    {"HalfSmallestSubnormalExactly", exactPowerOfHalf(1075), 0.0},
    {"HalfSmallestSubnormalThenOne", exactPowerOfHalf(1075) + u"1", std::numeric_limits<double>::denorm_min()},
    {"ExponentBeyondAThousandOnLongZeroPrefix", concat({u"0.", repeat(u"0", 1500), u"1e1501"}), 1.0},
    // A midpoint between two doubles, decided by a digit far beyond the 767th.
    {"TieBrokenByDigit900", concat({u"9007199254740993.", repeat(u"0", 900), u"1"}), 9007199254740994.0},
    {"TieWithoutLaterDigits", concat({u"9007199254740993.", repeat(u"0", 900)}), 9007199254740992.0},
};
INSTANTIATE_TEST_SUITE_P(Precision, LeadingNumberTest, testing::ValuesIn(PrecisionRows), rowName<NumberRow>);

struct OverflowRow
{
    std::string name;
    std::u16string text;
};

class LeadingNumberOverflowTest : public testing::TestWithParam<OverflowRow>
{};

TEST_P(LeadingNumberOverflowTest, Throws)
{
    EXPECT_THROW(LeadingNumber(GetParam().text), OverflowError);
}

INSTANTIATE_TEST_SUITE_P(Table, LeadingNumberOverflowTest,
                         testing::Values(OverflowRow{"Exponent309", u"1e309"}, OverflowRow{"Exponent999", u"1e999"},
                                         OverflowRow{"NegativeExponent999", u"-1e999"},
                                         OverflowRow{"JustAboveLargestDouble", u"1.7976931348623159e308"},
                                         OverflowRow{"JustAboveOverflowHalf", u"1.7976931348623158079372897140531e308"},
                                         OverflowRow{"FourHundredDigits", concat({u"1", repeat(u"0", 400)})},
                                         OverflowRow{"ThirtyDigitExponent", concat({u"1e", repeat(u"9", 30)})},
                                         OverflowRow{"DExponent", u"1d400"},
                                         OverflowRow{"FullWidthExponent", u"\uff11\uff25\uff14\uff10\uff10"},
                                         OverflowRow{"HexThreeHundredF", concat({u"&H", repeat(u"F", 300)})},
                                         OverflowRow{"Hex256F", concat({u"&H", repeat(u"F", 256)})},
                                         OverflowRow{"HexTwoTo1024", concat({u"&H1", repeat(u"0", 256)})},
                                         OverflowRow{"HexOverflowHalfTiesToEven",
                                                     concat({u"&H", repeat(u"F", 13), u"C", repeat(u"0", 242)})},
                                         OverflowRow{"NegativeHex", concat({u"-&H", repeat(u"F", 300)})},
                                         OverflowRow{"Octal", concat({u"&O7", repeat(u"7", 400)})},
                                         OverflowRow{"MegabyteOfDigits", repeat(u"7", 1 << 20)}),
                         rowName<OverflowRow>);

TEST(LeadingNumberLongText, MegabyteOfLettersIsZero)
{
    EXPECT_EQ(LeadingNumber(repeat(u"x", 1 << 20)), 0.0);
}

TEST(LeadingNumberLongText, MegabyteOfBlanksThenDigitIsThatDigit)
{
    EXPECT_EQ(LeadingNumber(repeat(u" \t\n\u3000", 1 << 18) + u"7"), 7.0);
}

TEST(LeadingNumberLongText, MegabyteOfFractionDigits)
{
    EXPECT_EQ(LeadingNumber(u"0." + repeat(u"3", 1 << 20)), 1.0 / 3.0);
}

TEST(LeadingNumberLongText, MegabyteOfHexZeros)
{
    EXPECT_EQ(LeadingNumber(u"&H" + repeat(u"0", 1 << 20)), 0.0);
}

// -------------------------------------------------------------- FormatFixed2

class FormatFixed2Test : public testing::TestWithParam<TextRow>
{};

TEST_P(FormatFixed2Test, Formats)
{
    EXPECT_EQ(FormatFixed2(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatFixed2Test,
    testing::Values(
        TextRow{"Zero", 0.0, u"0.00"}, TextRow{"NegativeZero", -0.0, u"0.00"},
        TextRow{"JustBelowHalfCent", 0.004, u"0.00"}, TextRow{"HalfCent", 0.005, u"0.01"},
        TextRow{"Hundred", 100.0, u"100.00"}, TextRow{"Half", 0.5, u"0.50"},
        TextRow{"NoGrouping", 1234.5678, u"1234.57"}, TextRow{"Million", 1e6, u"1000000.00"},
        TextRow{"Negative", -1.386, u"-1.39"}, TextRow{"EighthRoundsAway", 0.125, u"0.13"},
        TextRow{"NegativeEighthRoundsAway", -0.125, u"-0.13"}, TextRow{"DoubleBelowHalf1005", 1.005, u"1.01"},
        TextRow{"DoubleBelowHalf2675", 2.675, u"2.68"}, TextRow{"DoubleBelowHalf0285", 0.285, u"0.29"},
        TextRow{"CarryIntoNewDigit", 9.995, u"10.00"}, TextRow{"CarryIntoHundreds", 99.995, u"100.00"},
        TextRow{"NegativeCarry", -99.995, u"-100.00"}, TextRow{"NegativeRoundsToZero", -0.001, u"0.00"},
        TextRow{"NegativeJustBelowHalfCent", -0.0049, u"0.00"}, TextRow{"NegativeHalfCent", -0.005, u"-0.01"},
        TextRow{"SmallestSubnormal", 4.9406564584124654e-324, u"0.00"}, TextRow{"NegativeTiny", -1e-300, u"0.00"},
        TextRow{"DigitsBeyondFifteenthAreZeros", 1.2345678901234567e20, u"123456789012346000000.00"},
        TextRow{"FifteenDigitInteger", 123456789012345.0, u"123456789012345.00"},
        TextRow{"SixteenDigitInteger", 1234567890123456.0, u"1234567890123460.00"},
        TextRow{"FifteenDigitsWithDecimals", 1234567890123.456, u"1234567890123.46"},
        TextRow{"SixteenthDigitDecidesBeforeHundredths", 12345678901234.56, u"12345678901234.60"},
        TextRow{"FifteenNinesAndMore", 999999999999999.9, u"1000000000000000.00"},
        TextRow{"ExactTieAtFifteenDigitsIsEven", 100000000000000.5, u"100000000000000.00"},
        TextRow{"ExactTieAtFifteenDigitsOdd", 100000000000001.5, u"100000000000002.00"},
        TextRow{"TimingT", 0.02079, u"0.02"}, TextRow{"TimingT1", 0.01386, u"0.01"},
        TextRow{"TimingT2", 0.00693, u"0.01"},
        TextRow{"LargestDouble", std::numeric_limits<double>::max(), u"179769313486232" + repeat(u"0", 294) + u".00"},
        TextRow{"NegativeLargestDouble", -std::numeric_limits<double>::max(),
                u"-179769313486232" + repeat(u"0", 294) + u".00"}),
    rowName<TextRow>);

TEST(FormatFixed2Range, NonFiniteValuesAreOverflow)
{
    EXPECT_THROW(FormatFixed2(std::numeric_limits<double>::infinity()), OverflowError);
    EXPECT_THROW(FormatFixed2(-std::numeric_limits<double>::infinity()), OverflowError);
    EXPECT_THROW(FormatFixed2(std::numeric_limits<double>::quiet_NaN()), OverflowError);
}

TEST(OverflowErrorType, IsAStandardOverflowError)
{
    try {
        LeadingNumber(u"1e999");
        FAIL() << "no exception";
    } catch (const std::overflow_error &error) {
        EXPECT_NE(dynamic_cast<const OverflowError *>(&error), nullptr);
        EXPECT_STRNE(error.what(), "");
    }
}

} // namespace
} // namespace ferolune::calc
