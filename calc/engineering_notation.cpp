#include "calc/engineering_notation.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace ferolune::calc {

namespace {

constexpr std::u16string_view NoValue = u"—";

// 10^-12 to 10^6, one step of 10^3 each.
constexpr std::array<std::u16string_view, 7> Prefixes{u"p", u"n", u"μ", u"m", u"", u"k", u"M"};
constexpr int FirstPrefixExponent = -12;

// The prefixes a unit is read with, as powers of ten, and the one its zero takes.
struct UnitScale
{
    std::u16string_view symbol;
    int smallest, largest, zero;
};

constexpr UnitScale scaleOf(Unit unit)
{
    switch (unit) {
    case Unit::Second:
        return {u"s", -9, 0, 0};
    case Unit::Hertz:
        return {u"Hz", 0, 6, 0};
    case Unit::Farad:
        return {u"F", -12, -6, -6}; // the entries' μF
    case Unit::Ohm:
        break;
    }
    return {u"Ω", 0, 6, 0};
}

// Beyond the largest prefix up to six integer digits, below the smallest down
// to three zeros after the point.
constexpr int ExtraIntegerDigits = 3;
constexpr int ExtraZeros = 3;

constexpr int EngineeringDigits = 4;
constexpr int FifteenDigits = 15;
constexpr int SmallestFixedExponent = -9;
constexpr int FractionDecimals = 3; // one decimal of a per cent

// A magnitude rounded to some digits: d0.d1d2... x 10^exponent.
struct Decimal
{
    std::string digits;
    int exponent = 0;
};

// What std::to_chars writes, correctly rounded from the double's exact value
// ("1.012e-03", "0.534"), as digits and the power of ten of the first one.
Decimal toDecimal(double magnitude, std::chars_format format, int precision)
{
    // Room for the 309 integer digits of the largest double in fixed notation.
    std::array<char, 400> text;
    const char *const end = std::to_chars(text.data(), text.data() + text.size(), magnitude, format, precision).ptr;

    Decimal decimal;
    int integerDigits = 0;
    bool afterPoint = false;
    const char *c = text.data();
    for (; c != end && *c != 'e'; ++c) {
        if (*c == '.') {
            afterPoint = true;
            continue;
        }
        decimal.digits += *c;
        integerDigits += afterPoint ? 0 : 1;
    }
    int written = 0;
    if (c != end) {
        ++c;
        if (*c == '+')
            ++c;
        std::from_chars(c, end, written);
    }
    decimal.exponent = written + integerDigits - 1;
    return decimal;
}

// Whether the decimal is the magnitude's exact value. Its digits read as an
// integer N ending in 5, so odd, with the last one worth 10^k: N 10^k is a
// double only where N 5^k (k >= 0) or N / 5^-k (k < 0) is a whole odd number
// below 2^53, and then it must still be this one. With at most four decimals
// such an N is below 2^53 5^4, so a longer one is no tie.
bool isExactTie(double magnitude, const Decimal &decimal)
{
    constexpr std::uint64_t Limit = std::uint64_t{1} << 53;
    std::uint64_t odd = 0;
    for (const char digit : decimal.digits) {
        if (odd > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
            return false;
        odd = odd * 10 + std::uint64_t(digit - '0');
    }
    const int power = decimal.exponent - int(decimal.digits.size()) + 1;
    for (int k = 0; k < power; ++k) {
        if (odd >= Limit)
            return false;
        odd *= 5;
    }
    for (int k = 0; k < -power; ++k) {
        if (odd % 5 != 0)
            return false;
        odd /= 5;
    }
    return odd < Limit && std::ldexp(static_cast<double>(odd), power) == magnitude;
}

// std::to_chars of the magnitude, save that an exact tie rounds up (away from
// zero) instead of to even.
Decimal roundDecimal(double magnitude, std::chars_format format, int precision)
{
    Decimal longer = toDecimal(magnitude, format, precision + 1);
    if (longer.digits.back() != '5' || !isExactTie(magnitude, longer))
        return toDecimal(magnitude, format, precision);

    longer.digits.pop_back();
    for (auto digit = longer.digits.rbegin(); digit != longer.digits.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return longer;
        }
        *digit = '0';
    }
    // 9.9995 became 10.000: one digit more in front, in scientific one less behind.
    longer.digits.insert(longer.digits.begin(), '1');
    ++longer.exponent;
    if (format == std::chars_format::scientific)
        longer.digits.pop_back();
    return longer;
}

void append(std::u16string &text, std::string_view ascii)
{
    text.append(ascii.begin(), ascii.end());
}

// "e-05", "e+15", "e-317": the exponent has two digits at least.
void appendExponent(std::u16string &text, int exponent)
{
    text += exponent < 0 ? u"e-" : u"e+";
    if (std::abs(exponent) < 10)
        text += u'0';
    append(text, std::to_string(std::abs(exponent)));
}

} // namespace

std::u16string formatEngineering(double value, Unit unit)
{
    if (!std::isfinite(value))
        return std::u16string(NoValue);

    const UnitScale scale = scaleOf(unit);
    const auto withPrefix = [&](std::u16string &text, int power) {
        text += u' ';
        text += Prefixes[std::size_t((power - FirstPrefixExponent) / 3)];
        text += scale.symbol;
    };
    std::u16string text;
    if (value < 0)
        text += u'-';
    if (value == 0) {
        text += u"0.000";
        withPrefix(text, scale.zero);
        return text;
    }

    const Decimal rounded = roundDecimal(std::fabs(value), std::chars_format::scientific, EngineeringDigits - 1);
    const std::string_view digits = rounded.digits;
    const int exponent = rounded.exponent;
    if (exponent >= scale.smallest && exponent < scale.largest + 3) {
        // The prefix's power of ten is the exponent rounded down to a multiple of 3.
        const int power = scale.smallest + (exponent - scale.smallest) / 3 * 3;
        const auto integerDigits = std::size_t(exponent - power + 1);
        append(text, digits.substr(0, integerDigits));
        text += u'.';
        append(text, digits.substr(integerDigits));
        withPrefix(text, power);
    } else if (exponent >= scale.largest + 3 && exponent < scale.largest + 3 + ExtraIntegerDigits) {
        append(text, digits);
        text.append(std::size_t(exponent - scale.largest + 1) - digits.size(), u'0');
        withPrefix(text, scale.largest);
    } else if (exponent < scale.smallest && exponent >= scale.smallest - 1 - ExtraZeros) {
        text += u"0.";
        text.append(std::size_t(scale.smallest - exponent - 1), u'0');
        append(text, digits);
        withPrefix(text, scale.smallest);
    } else {
        append(text, digits.substr(0, 1));
        text += u'.';
        append(text, digits.substr(1));
        appendExponent(text, exponent);
        text += u' ';
        text += scale.symbol;
    }
    return text;
}

std::u16string formatPercent1(double fraction)
{
    if (!std::isfinite(fraction))
        return std::u16string(NoValue);

    // 0.534 is "0534" with the exponent 0; in per cent the point moves two
    // places: "053" and "4".
    const Decimal rounded = roundDecimal(std::fabs(fraction), std::chars_format::fixed, FractionDecimals);
    const std::string_view digits = rounded.digits;
    std::string_view integer = digits.substr(0, digits.size() - 1);
    integer.remove_prefix(std::min(integer.find_first_not_of('0'), integer.size() - 1));

    std::u16string text;
    if (fraction < 0 && digits.find_first_not_of('0') != std::string_view::npos)
        text += u'-';
    append(text, integer);
    text += u'.';
    append(text, digits.substr(digits.size() - 1));
    text += u'%';
    return text;
}

std::u16string formatFifteenDigits(double value)
{
    if (!std::isfinite(value))
        return std::u16string(NoValue);
    if (value == 0)
        return u"0";

    // As FormatFixed2 takes its fifteen digits: correctly rounded, ties to even.
    Decimal decimal = toDecimal(std::fabs(value), std::chars_format::scientific, FifteenDigits - 1);
    std::string &digits = decimal.digits;
    digits.erase(digits.find_last_not_of('0') + 1);

    std::u16string text;
    if (value < 0)
        text += u'-';
    const int exponent = decimal.exponent;
    if (exponent >= 0 && exponent < FifteenDigits) {
        const auto integerDigits = std::size_t(exponent + 1);
        append(text, std::string_view(digits).substr(0, integerDigits));
        text.append(integerDigits - std::min(integerDigits, digits.size()), u'0');
        if (digits.size() > integerDigits) {
            text += u'.';
            append(text, std::string_view(digits).substr(integerDigits));
        }
    } else if (exponent < 0 && exponent >= SmallestFixedExponent) {
        text += u"0.";
        text.append(std::size_t(-exponent - 1), u'0');
        append(text, digits);
    } else {
        append(text, std::string_view(digits).substr(0, 1));
        if (digits.size() > 1) {
            text += u'.';
            append(text, std::string_view(digits).substr(1));
        }
        appendExponent(text, exponent);
    }
    return text;
}

} // namespace ferolune::calc
