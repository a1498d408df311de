// Properties checked on many generated inputs against independent references:
// the C library's correctly rounded strtod and printf.
#include "calc/numeric_text.h"
#include "calc/timing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>
#include <variant>

namespace ferolune::calc {
namespace {

constexpr int Rounds = 20000;

std::u16string widen(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

std::string narrow(std::u16string_view text)
{
    std::string result;
    for (char16_t c : text)
        result += c < 0x80 ? static_cast<char>(c) : '?';
    return result;
}

double randomFiniteDouble(std::mt19937_64 &random)
{
    for (;;) {
        const double value = std::bit_cast<double>(random());
        if (std::isfinite(value))
            return value;
    }
}

// A value around a random power of ten, where cents and halves matter most.
double randomScaledDouble(std::mt19937_64 &random)
{
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> decade(-6, 16);
    return mantissa(random) * std::pow(10.0, decade(random));
}

// Thousandths such as 2.675 sit beside a half cent; their doubles test the rounding.
double randomThousandths(std::mt19937_64 &random)
{
    std::uniform_int_distribution<std::int64_t> thousandths(-100'000'000, 100'000'000);
    return static_cast<double>(thousandths(random)) / 1000.0;
}

std::string shortestText(double value)
{
    std::array<char, 64> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

TEST(LeadingNumberProperty, ReadsBackTheShortestTextOfAnyDouble)
{
    std::mt19937_64 random(20261207);
    for (int round = 0; round < Rounds; ++round) {
        const double value = randomFiniteDouble(random);
        const std::string text = shortestText(value);
        SCOPED_TRACE(text);
        EXPECT_EQ(LeadingNumber(widen(text)), value);
    }
}

// The same text typed with full-width characters, blanks between them, the
// point as any input method types it and a unit after it.
TEST(LeadingNumberProperty, ReadsBackTheShortestTextTypedLoosely)
{
    std::mt19937_64 random(7);
    std::bernoulli_distribution coin;
    const std::u16string blanks[] = {u" ", u"\t", u"\n", u"\u3000"};
    const char16_t points[] = {u'.', u'\uff0e', u'\u3002', u'\uff61'};
    for (int round = 0; round < Rounds; ++round) {
        const double value = randomScaledDouble(random);
        const std::string text = shortestText(value);
        std::u16string typed;
        for (char c : text) {
            if (coin(random))
                typed += blanks[random() % 4];
            const auto wide = static_cast<char16_t>(c);
            if (c == '.')
                typed += points[random() % 4];
            else
                typed += coin(random) ? char16_t(wide - u'!' + u'\uff01') : wide;
        }
        typed += u"k\u03a9";
        SCOPED_TRACE(text);
        EXPECT_EQ(LeadingNumber(typed), value);
    }
}

// Long decimal texts, far beyond the 17 digits a double needs, against strtod.
TEST(LeadingNumberProperty, MatchesStrtodOnLongDecimals)
{
    std::mt19937_64 random(555);
    std::uniform_int_distribution<int> length(1, 1200);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-360, 340);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int integerDigits = length(random) % 40;
        for (int i = 0; i < integerDigits; ++i)
            text += char('0' + digit(random));
        text += '.';
        const int fractionDigits = length(random);
        for (int i = 0; i < fractionDigits; ++i)
            text += char('0' + (round % 3 == 0 ? (digit(random) < 9 ? 0 : 1) : digit(random)));
        text += 'e' + std::to_string(exponent(random));

        SCOPED_TRACE(text.substr(0, 60) + "... " + std::to_string(text.size()) + " characters");
        errno = 0;
        const double expected = std::strtod(text.c_str(), nullptr);
        if (errno == ERANGE && std::isinf(expected)) {
            EXPECT_THROW(LeadingNumber(widen(text)), OverflowError);
        } else {
            EXPECT_EQ(LeadingNumber(widen(text)), expected);
        }
    }
}

// Texts as people type them: a few digits, a point somewhere, a small exponent.
TEST(LeadingNumberProperty, MatchesStrtodOnShortDecimals)
{
    std::mt19937_64 random(1000);
    std::uniform_int_distribution<int> length(1, 20);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-40, 40);
    for (int round = 0; round < Rounds; ++round) {
        std::string text;
        const int count = length(random);
        const int point = length(random);
        for (int i = 0; i < count; ++i) {
            if (i == point)
                text += '.';
            text += char('0' + digit(random));
        }
        if (round % 2 == 0)
            text += 'e' + std::to_string(exponent(random));
        SCOPED_TRACE(text);
        EXPECT_EQ(LeadingNumber(widen(text)), std::strtod(text.c_str(), nullptr));
    }
}

// Hexadecimal digits of any length against strtod reading them as a C hex float.
TEST(LeadingNumberProperty, MatchesStrtodOnLongHexadecimals)
{
    std::mt19937_64 random(16);
    std::uniform_int_distribution<int> length(1, 270);
    const char hexDigits[] = "0123456789ABCDEF";
    for (int round = 0; round < Rounds; ++round) {
        std::string digits;
        const int count = length(random);
        for (int i = 0; i < count; ++i)
            digits += hexDigits[round % 2 == 0 ? random() % 16 : (random() % 8 == 0 ? 1 : 0)];
        if (round % 4 == 1)
            digits[0] = 'F';

        SCOPED_TRACE(digits);
        errno = 0;
        const double expected = std::strtod(("0x" + digits).c_str(), nullptr);
        if (errno == ERANGE && std::isinf(expected)) {
            EXPECT_THROW(LeadingNumber(widen("&H" + digits)), OverflowError);
        } else {
            EXPECT_EQ(LeadingNumber(widen("&H" + digits)), expected);
            EXPECT_EQ(LeadingNumber(widen("-&h" + digits)), -expected);
        }
    }
}

// The rounding to hundredths, done by integer arithmetic on printf's 15 digits.
std::string referenceFixed2(double value)
{
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.14e", std::fabs(value));
    const std::string scientific = text.data();
    const std::string digits = scientific.substr(0, 1) + scientific.substr(2, 14);
    const int exponent = std::stoi(scientific.substr(scientific.find('e') + 1));

    // value = digits x 10^(exponent - 14), so hundredths = digits x 10^(exponent - 12).
    std::uint64_t hundredths = std::stoull(digits);
    if (exponent >= 12) {
        for (int i = 12; i < exponent; ++i)
            hundredths *= 10;
    } else {
        std::uint64_t divisor = 1;
        for (int i = exponent; i < 12; ++i)
            divisor *= 10;
        hundredths = hundredths / divisor + (hundredths % divisor >= divisor / 2 ? 1 : 0);
    }
    std::snprintf(text.data(), text.size(), "%s%llu.%02llu", value < 0 && hundredths != 0 ? "-" : "",
                  static_cast<unsigned long long>(hundredths / 100), static_cast<unsigned long long>(hundredths % 100));
    return text.data();
}

TEST(FormatFixed2Property, MatchesIntegerRounding)
{
    std::mt19937_64 random(42);
    for (int round = 0; round < Rounds; ++round) {
        for (const double value : {randomScaledDouble(random), randomThousandths(random)}) {
            if (std::fabs(value) >= 1e16)
                continue;
            SCOPED_TRACE(shortestText(value));
            EXPECT_EQ(narrow(FormatFixed2(value)), referenceFixed2(value));
        }
    }
}

TEST(FormatFixed2Property, LargeValuesShowFifteenDigitsThenZeros)
{
    std::mt19937_64 random(1e3);
    for (int round = 0; round < Rounds; ++round) {
        const double value = randomFiniteDouble(random);
        if (std::fabs(value) < 1e15)
            continue;
        std::array<char, 64> text{};
        std::snprintf(text.data(), text.size(), "%.14e", std::fabs(value));
        const std::string scientific = text.data();
        const int exponent = std::stoi(scientific.substr(scientific.find('e') + 1));
        std::string expected = value < 0 ? "-" : "";
        expected += scientific.substr(0, 1) + scientific.substr(2, 14);
        expected += std::string(std::size_t(exponent - 14), '0') + ".00";
        SCOPED_TRACE(shortestText(value));
        EXPECT_EQ(narrow(FormatFixed2(value)), expected);
    }
}

TEST(FormatFixed2Property, ReadsBackWithinHalfACent)
{
    std::mt19937_64 random(3);
    for (int round = 0; round < Rounds; ++round) {
        const double value = randomScaledDouble(random);
        if (std::fabs(value) >= 1e13)
            continue;
        const std::string text = narrow(FormatFixed2(value));
        SCOPED_TRACE(shortestText(value) + " -> " + text);
        // Half a cent, plus half a unit of the fifteenth digit the rounding starts from.
        EXPECT_LE(std::fabs(std::strtod(text.c_str(), nullptr) - value), 0.005 + 1e-14 * std::fabs(value) + 1e-9);
    }
}

bool isResultText(const std::u16string &text)
{
    static const std::regex pattern("-?[0-9]+\\.[0-9]{2}");
    const std::string ascii = narrow(text);
    return std::regex_match(ascii, pattern) && ascii.rfind("-0.00", 0) != 0;
}

// Entries built from the characters that matter to the reader, in any order.
std::u16string randomEntry(std::mt19937_64 &random)
{
    static const std::u16string alphabet =
        u"0123456789..--++eEdD&HhOoF  \t\n\r\u3000\uff11\uff0e\u3002\uff0d\uff25k%,x";
    std::uniform_int_distribution<std::size_t> length(0, 14);
    std::u16string entry;
    for (std::size_t i = length(random); i > 0; --i)
        entry += alphabet[random() % alphabet.size()];
    if (random() % 8 == 0)
        entry += u"e3" + std::u16string(1, char16_t(u'0' + random() % 10));
    return entry;
}

TEST(CalculateProperty, EveryResultIsTwoDecimalsOrAnOverflow)
{
    std::mt19937_64 random(2026);
    int results = 0;
    int overflows = 0;
    int incomplete = 0;
    for (int round = 0; round < Rounds; ++round) {
        const TimingInput input{randomEntry(random), randomEntry(random), randomEntry(random)};
        SCOPED_TRACE(narrow(input.ra) + " | " + narrow(input.rb) + " | " + narrow(input.c));
        try {
            const CalculateOutcome outcome = Calculate(input);
            if (const auto *texts = std::get_if<TimingTexts>(&outcome)) {
                ++results;
                EXPECT_TRUE(isResultText(texts->t1)) << narrow(texts->t1);
                EXPECT_TRUE(isResultText(texts->t2)) << narrow(texts->t2);
                EXPECT_TRUE(isResultText(texts->t)) << narrow(texts->t);
            } else {
                ++incomplete;
                EXPECT_TRUE(TrimSpaces(input.ra).empty() || TrimSpaces(input.rb).empty()
                            || TrimSpaces(input.c).empty());
            }
        } catch (const OverflowError &) {
            ++overflows;
        }
    }
    // The generator must reach all three outcomes for the property to mean anything.
    EXPECT_GT(results, Rounds / 4);
    EXPECT_GT(overflows, 0);
    EXPECT_GT(incomplete, 0);
}

TEST(CalculateProperty, ResultsAreTheFormattedFormulas)
{
    std::mt19937_64 random(99);
    for (int round = 0; round < Rounds; ++round) {
        const double ra = randomScaledDouble(random);
        const double rb = randomScaledDouble(random);
        const double c = randomScaledDouble(random);
        const TimingInput input{widen(shortestText(ra)), widen(" " + shortestText(rb) + " "), widen(shortestText(c))};
        SCOPED_TRACE(narrow(input.ra) + " | " + narrow(input.rb) + " | " + narrow(input.c));
        const CalculateOutcome outcome = Calculate(input);
        ASSERT_TRUE(std::holds_alternative<TimingTexts>(outcome));
        const TimingResult times = computeTiming(ra, rb, c * 1e-6);
        EXPECT_EQ(std::get<TimingTexts>(outcome).t1, FormatFixed2(times.t1));
        EXPECT_EQ(std::get<TimingTexts>(outcome).t2, FormatFixed2(times.t2));
        EXPECT_EQ(std::get<TimingTexts>(outcome).t, FormatFixed2(times.t));
    }
}

} // namespace
} // namespace ferolune::calc
