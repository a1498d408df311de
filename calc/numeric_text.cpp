#include "calc/numeric_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <system_error>

namespace ferolune::calc {

namespace {

constexpr char16_t Space = u' ';
constexpr char16_t IdeographicSpace = u'\u3000';
constexpr char16_t EndOfText = u'\0';

// Blanks vanish wherever they stand, so "1 000" reads as 1000. A carriage
// return is not one of them.
bool isBlank(char16_t c)
{
    return c == Space || c == u'\t' || c == u'\n' || c == IdeographicSpace;
}

char16_t toUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
}

bool isDecimalDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Chinese input methods type the ideographic full stop (or its half-width
// form) for the decimal point, e.g. first in an entry or after a full-width digit.
bool isDecimalPoint(char16_t c)
{
    return c == u'.' || c == u'\u3002' || c == u'\uFF61';
}

// The characters of a text as the number reader sees them: blanks skipped,
// full-width forms narrowed. Each character is looked at a bounded number of
// times, so reading is linear in the length of the text.
class TypedCharacters
{
public:
    explicit TypedCharacters(std::u16string_view text) : m_rest(text), m_size(text.size()) {}

    // The next character that counts, or EndOfText. A NUL in the text ends the
    // number just as the end does, since it cannot continue one either.
    char16_t peek()
    {
        while (!m_rest.empty() && isBlank(m_rest.front()))
            m_rest.remove_prefix(1);
        return m_rest.empty() ? EndOfText : narrowFullWidth(m_rest.front());
    }

    // Consumes the character peek() returned; only called after it was not EndOfText.
    void skip() { m_rest.remove_prefix(1); }

    // How far into the text the reader has come: the characters consumed so
    // far and the blanks after them.
    std::size_t position()
    {
        peek();
        return m_size - m_rest.size();
    }

private:
    std::u16string_view m_rest;
    std::size_t m_size;
};

// A decimal number as its significant digits (leading zeros dropped) and the
// position of the decimal point relative to the first of them:
// value = 0.d1d2d3... x 10^pointPosition.
//
// Only the first KeptDigits digits are stored; the rest is remembered as a
// single "1" when any of them is non-zero. A midpoint between two adjacent
// doubles has at most 767 significant digits, so none lies strictly between the
// kept prefix and the prefix with that sticky digit: the rounding is that of
// the full number, however long it is.
class DecimalSignificand
{
public:
    void addIntegerDigit(char digit)
    {
        if (m_count == 0 && digit == '0')
            return;
        append(digit);
        ++m_pointPosition;
    }

    void addFractionDigit(char digit)
    {
        if (m_count == 0 && digit == '0') {
            --m_pointPosition;
            return;
        }
        append(digit);
    }

    // The nearest double to this significand times 10^exponent.
    double scaled(std::int64_t exponent) const
    {
        if (m_count == 0)
            return 0.0;

        // 0.d... x 10^decimalExponent lies in [10^(decimalExponent-1), 10^decimalExponent).
        const std::int64_t decimalExponent = m_pointPosition + exponent;
        if (decimalExponent > MaxDecimalExponent)
            throw OverflowError();
        if (decimalExponent < MinDecimalExponent)
            return 0.0;

        // Short significands with small exponents, as typed almost always: the
        // integer and the power of ten are exact doubles, so one division or
        // multiplication rounds correctly. An integer up to 2^53 has at most 16
        // digits, so m_leading then holds every digit.
        const std::int64_t power = decimalExponent - std::int64_t(m_count);
        if (m_leading <= ExactIntegerLimit && power >= -MaxExactPower && power <= MaxExactPower) {
            const double integer = static_cast<double>(m_leading);
            return power < 0 ? integer / PowersOfTen[std::size_t(-power)] : integer * PowersOfTen[std::size_t(power)];
        }

        std::array<char, KeptDigits + 32> text; // filled up to `out` below
        text[0] = '0';
        text[1] = '.';
        char *out = std::copy_n(m_digits.data(), m_count, text.data() + 2);
        if (m_droppedNonZero)
            *out++ = '1';
        *out++ = 'e';
        out = std::to_chars(out, text.data() + text.size(), decimalExponent).ptr;

        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), out, value);
        if (error == std::errc::result_out_of_range) {
            // The standard conversion reports both ends of the range alike.
            if (decimalExponent > 0)
                throw OverflowError();
            return 0.0;
        }
        return value;
    }

private:
    static constexpr std::size_t KeptDigits = 800;
    // Beyond these the value is surely above the largest double (1.8e308) or
    // surely below half the smallest subnormal (2.5e-324).
    static constexpr std::int64_t MaxDecimalExponent = 310;
    static constexpr std::int64_t MinDecimalExponent = -330;

    static constexpr std::size_t LeadingDigits = 19; // any 19 digits fit in 64 bits
    static constexpr std::uint64_t ExactIntegerLimit = std::uint64_t{1} << 53;
    static constexpr std::int64_t MaxExactPower = 22; // 10^22 is the last exact double
    static constexpr std::array<double, MaxExactPower + 1> PowersOfTen{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

    void append(char digit)
    {
        if (m_count < LeadingDigits)
            m_leading = m_leading * 10 + std::uint64_t(digit - '0');
        if (m_count < KeptDigits)
            m_digits[m_count++] = digit;
        else if (digit != '0')
            m_droppedNonZero = true;
    }

    std::array<char, KeptDigits> m_digits; // the first m_count are set
    std::size_t m_count = 0;
    std::uint64_t m_leading = 0; // the value of the first LeadingDigits digits
    bool m_droppedNonZero = false;
    std::int64_t m_pointPosition = 0;
};

// Exponent digits beyond this value cannot change the outcome (overflow, or 0),
// and stopping here keeps the sum with the point position far from wrapping.
constexpr std::int64_t ExponentCeiling = 1'000'000'000'000'000;

// Reads "[digits][.digits][E|D[sign]digits]"; nothing when there is no
// significand digit at all ("", ".", "e5").
std::optional<double> readDecimal(TypedCharacters &in)
{
    DecimalSignificand significand;
    bool anyDigit = false;
    for (char16_t c = in.peek(); isDecimalDigit(c); c = in.peek()) {
        significand.addIntegerDigit(static_cast<char>(c));
        anyDigit = true;
        in.skip();
    }
    if (isDecimalPoint(in.peek())) {
        in.skip();
        for (char16_t c = in.peek(); isDecimalDigit(c); c = in.peek()) {
            significand.addFractionDigit(static_cast<char>(c));
            anyDigit = true;
            in.skip();
        }
    }
    if (!anyDigit)
        return std::nullopt;

    // An exponent marker without digits ("1e", "1e+") leaves the number as it
    // is, and is not part of it.
    std::int64_t exponent = 0;
    const TypedCharacters beforeExponent = in;
    const char16_t marker = toUpper(in.peek());
    if (marker == u'E' || marker == u'D') {
        in.skip();
        bool negativeExponent = false;
        if (in.peek() == u'+' || in.peek() == u'-') {
            negativeExponent = in.peek() == u'-';
            in.skip();
        }
        bool anyExponentDigit = false;
        for (char16_t c = in.peek(); isDecimalDigit(c); c = in.peek()) {
            exponent = std::min(exponent * 10 + (c - u'0'), ExponentCeiling);
            anyExponentDigit = true;
            in.skip();
        }
        if (!anyExponentDigit)
            in = beforeExponent;
        if (negativeExponent)
            exponent = -exponent;
    }
    return significand.scaled(exponent);
}

// The value of a hexadecimal (4 bits a digit) or octal (3 bits) digit, or
// nothing for any other character.
std::optional<unsigned> radixDigit(char16_t c, int bitsPerDigit)
{
    const char16_t upper = toUpper(c);
    unsigned value = 0;
    if (isDecimalDigit(upper))
        value = unsigned(upper - u'0');
    else if (upper >= u'A' && upper <= u'F')
        value = unsigned(upper - u'A' + 10);
    else
        return std::nullopt;
    if (value >= (1u << bitsPerDigit))
        return std::nullopt;
    return value;
}

// Reads the digits after "&H" or "&O" as a non-negative integer and returns the
// double nearest to it (ties to even), however many digits there are.
double readPowerOfTwoRadix(TypedCharacters &in, int bitsPerDigit)
{
    // The leading bits of the integer while they fit; once more than 60 of them
    // are held, later digits only scale the value and may break a tie.
    std::uint64_t leading = 0;
    int droppedBits = 0;
    bool droppedNonZero = false;
    // Any more dropped bits overflow anyway; the cap keeps the count from wrapping.
    constexpr int DroppedBitsCap = 2048;

    while (const std::optional<unsigned> digit = radixDigit(in.peek(), bitsPerDigit)) {
        in.skip();
        if ((leading >> (64 - bitsPerDigit)) == 0) {
            leading = (leading << bitsPerDigit) | *digit;
        } else {
            droppedBits = std::min(droppedBits + bitsPerDigit, DroppedBitsCap);
            droppedNonZero = droppedNonZero || *digit != 0;
        }
    }
    // The lowest bit is far below the 53 a double keeps; setting it makes a
    // seeming tie round up, as the dropped digits demand.
    if (droppedNonZero)
        leading |= 1;

    const double value = std::ldexp(static_cast<double>(leading), droppedBits);
    if (std::isinf(value))
        throw OverflowError();
    return value;
}

} // namespace

bool isMicroPrefix(std::u16string_view text)
{
    return text == u"u" || text == u"μ" || text == u"µ";
}

char16_t narrowFullWidth(char16_t c)
{
    constexpr char16_t FirstFullWidth = u'\uFF01';
    constexpr char16_t LastFullWidth = u'\uFF5E';
    constexpr char16_t FullWidthOffset = FirstFullWidth - u'!';
    return c >= FirstFullWidth && c <= LastFullWidth ? char16_t(c - FullWidthOffset) : c;
}

std::u16string_view TrimSpaces(std::u16string_view text)
{
    const auto isSpace = [](char16_t c) { return c == Space || c == IdeographicSpace; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

LeadingNumberRead readLeadingNumber(std::u16string_view text)
{
    TypedCharacters in(text);

    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.skip();
    }

    double magnitude = 0;
    std::size_t length = 0;
    if (in.peek() == u'&') {
        in.skip();
        const char16_t radix = toUpper(in.peek());
        if (radix != u'H' && radix != u'O')
            return {};
        in.skip();
        const std::size_t prefixEnd = in.position();
        magnitude = readPowerOfTwoRadix(in, radix == u'H' ? 4 : 3);
        length = in.position() == prefixEnd ? 0 : in.position(); // "&H" alone is no number
    } else {
        const std::optional<double> decimal = readDecimal(in);
        if (!decimal)
            return {};
        magnitude = *decimal;
        length = in.position();
    }
    return {negative ? -magnitude : magnitude, length};
}

double LeadingNumber(std::u16string_view text)
{
    return readLeadingNumber(text).value;
}

std::u16string FormatFixed2(double value)
{
    if (!std::isfinite(value))
        throw OverflowError();

    // The value's 15 significant digits, correctly rounded: "d.dddddddddddddde+xx".
    constexpr int SignificantDigits = 15;
    std::array<char, 32> scientific;
    const char *const scientificEnd =
        std::to_chars(scientific.data(), scientific.data() + scientific.size(), std::fabs(value),
                      std::chars_format::scientific, SignificantDigits - 1)
            .ptr;
    const char *exponentText = scientific.data() + SignificantDigits + 2; // past "e"
    if (*exponentText == '+')
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, scientificEnd, exponent);
    // The first digit moves onto the point, so that all fifteen stand together.
    scientific[1] = scientific[0];
    const char *const digits = scientific.data() + 1;

    // The digit worth 10^power in that decimal form; the digits past the
    // fifteenth are zeros.
    const auto digitAt = [&](int power) {
        const int index = exponent - power;
        return index >= 0 && index < SignificantDigits ? digits[index] : '0';
    };

    // Integer digits and the two decimals, without the point, with room in
    // front for a carry ("9.995" becomes "10.00"). 309 integer digits at most.
    std::array<char, 1 + 309 + 2> fixed;
    char *const first = fixed.data() + 1;
    char *last = first;
    for (int power = std::max(exponent, 0); power >= -2; --power)
        *last++ = digitAt(power);

    char *begin = first;
    if (digitAt(-3) >= '5') { // half away from zero
        char *digit = last;
        while (digit != first && *(digit - 1) == '9')
            *--digit = '0';
        if (digit == first)
            *--begin = '1';
        else
            ++*(digit - 1);
    }

    const bool roundsToZero = std::all_of(begin, last, [](char c) { return c == '0'; });
    std::array<char16_t, 1 + 1 + 309 + 1 + 2> text;
    char16_t *out = text.data();
    if (value < 0 && !roundsToZero)
        *out++ = u'-';
    out = std::copy(begin, last - 2, out);
    *out++ = u'.';
    out = std::copy(last - 2, last, out);
    return std::u16string(text.data(), out);
}

} // namespace ferolune::calc
