// Feeds three entry texts to Calculate: it must answer or report an overflow,
// and every text it answers with must read "-?[0-9]+\.[0-9]{2}". The readout
// of every answer and the notations of every value read, and of the input's
// first eight bytes taken as a double, must be well formed.
//
// The input is UTF-8 (stray bytes count as Latin-1 characters); "|" separates
// the three entries, so a seed reads like "1000| 1000 |10".
#include "calc/engineering_notation.h"
#include "calc/numeric_text.h"
#include "calc/readout.h"
#include "calc/timing.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <variant>

namespace {

using namespace ferolune::calc;

[[noreturn]] void fail(const char *what, std::u16string_view text = {})
{
    std::fprintf(stderr, "%s:", what);
    for (char16_t c : text)
        std::fprintf(stderr, c >= 0x20 && c < 0x7f ? " %c" : " U+%04X", unsigned(c));
    std::fprintf(stderr, "\n");
    std::abort();
}

std::u16string decodeUtf8(std::string_view bytes)
{
    std::u16string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
        char32_t code = length == 2 ? lead & 0x1fu : length == 3 ? lead & 0x0fu : lead & 0x07u;
        bool valid = length != 0 && i + length <= bytes.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = next >> 6 == 2;
            code = (code << 6) | (next & 0x3fu);
        }
        if (length == 1) {
            text += char16_t(lead);
        } else if (!valid) {
            text += char16_t(lead);
            ++i;
            continue;
        } else if (code > 0xffff) {
            code -= 0x10000;
            text += char16_t(0xd800 + (code >> 10));
            text += char16_t(0xdc00 + (code & 0x3ff));
        } else {
            text += char16_t(code);
        }
        i += length;
    }
    return text;
}

bool isResultText(std::u16string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && text[i] == u'-')
        ++i;
    const std::size_t integerStart = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    if (i == integerStart || text.size() != i + 3 || text[i] != u'.')
        return false;
    for (std::size_t k = i + 1; k < text.size(); ++k) {
        if (text[k] < u'0' || text[k] > u'9')
            return false;
    }
    const bool negative = text[0] == u'-';
    const bool allZeros = text.substr(negative ? 1 : 0).find_first_not_of(u"0.") == std::u16string_view::npos;
    return !(negative && allZeros);
}

// A result reads back as the number it shows, except near the top of the
// range, where fifteen digits can round above the largest double.
void checkResult(std::u16string_view text)
{
    if (!isResultText(text))
        fail("malformed result", text);
    try {
        if (FormatFixed2(LeadingNumber(text)) != text)
            fail("result does not read back", text);
    } catch (const OverflowError &) {
        if (text.size() < 309)
            fail("result overflows when read back", text);
    }
}

std::size_t countDigits(std::u16string_view text)
{
    return std::size_t(std::count_if(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }));
}

// "—" for what is no number; otherwise four significant digits: with the point
// after the first one to three and a prefix from n to none, or "0." and up to
// three zeros before them in ns, or up to six integer digits in s, or with an
// exponent and the bare unit.
void checkNotations(double value)
{
    const std::u16string engineering = formatEngineering(value, Unit::Second);
    const std::u16string percent = formatPercent1(value);
    if (!std::isfinite(value)) {
        if (engineering != u"—" || percent != u"—")
            fail("no dash for a value that is no number", engineering + u" " + percent);
        return;
    }
    std::u16string_view rest = engineering;
    if (value < 0 && (rest.empty() || rest.front() != u'-'))
        fail("sign lost", engineering);
    if (!rest.empty() && rest.front() == u'-')
        rest.remove_prefix(1);
    const std::size_t space = std::min(rest.find(u' '), rest.size());
    const std::u16string_view number = rest.substr(0, space);
    const std::u16string_view unit = rest.substr(space);
    const std::size_t exponent = number.find(u'e');
    const std::u16string_view mantissa = number.substr(0, exponent);
    const std::size_t point = mantissa.find(u'.');
    const std::size_t firstSignificant = std::min(mantissa.find_first_not_of(u"0."), mantissa.size());
    bool wellFormed = false;
    if (value == 0) {
        wellFormed = engineering == u"0.000 s";
    } else if (exponent != std::u16string_view::npos) {
        wellFormed = point == 1 && mantissa.size() == 5 && countDigits(mantissa) == 4 && unit == u" s"
            && countDigits(number.substr(exponent)) >= 2;
    } else if (point == std::u16string_view::npos) {
        wellFormed = unit == u" s" && mantissa.size() >= 4 && mantissa.size() <= 6 && firstSignificant == 0
            && countDigits(mantissa) == mantissa.size() && mantissa.find_first_not_of(u'0', 4) == mantissa.npos;
    } else if (firstSignificant < point) {
        wellFormed = firstSignificant == 0 && point <= 3 && mantissa.size() == 5 && countDigits(mantissa) == 4
            && (unit == u" ns" || unit == u" μs" || unit == u" ms" || unit == u" s");
    } else {
        wellFormed = point == 1 && mantissa.front() == u'0' && firstSignificant <= 5
            && mantissa.size() == firstSignificant + 4 && countDigits(mantissa.substr(firstSignificant)) == 4
            && unit == u" ns";
    }
    if (!wellFormed)
        fail("malformed engineering notation", engineering);

    if (percent.size() < 4 || percent.substr(percent.size() - 3, 1) != u"." || percent.back() != u'%'
        || countDigits(percent) + 2 + (percent.front() == u'-' ? 1 : 0) != percent.size())
        fail("malformed per cent", percent);
}

void checkEntry(std::u16string_view entry)
{
    try {
        const double value = LeadingNumber(entry);
        if (!isResultText(FormatFixed2(value)))
            fail("malformed format of entry", entry);
        checkNotations(value);
    } catch (const OverflowError &) {}
}

// Each box's detail is warnings, each a line of its own, then four lines, the
// first of them its own; its exact text is its own time to 15 digits at most,
// with no trailing zeros.
void checkReadout(const TimingInput &typed, const TimingTexts &calculation)
{
    const TimingReadout readout = timingReadout(typed, calculation);
    const std::pair<const ResultReadout *, double> boxes[] = {
        {&readout.t1, calculation.times.t1}, {&readout.t2, calculation.times.t2}, {&readout.t, calculation.times.t}};
    const std::u16string_view names[] = {u"T1 = ", u"T2 = ", u"T = "};
    for (std::size_t i = 0; i < 3; ++i) {
        const ResultReadout &box = *boxes[i].first;
        std::u16string_view detail = box.detail;
        while (detail.starts_with(u"注意：") && detail.find(u'\n') != std::u16string_view::npos)
            detail.remove_prefix(detail.find(u'\n') + 1);
        if (!detail.starts_with(names[i]) || std::count(detail.begin(), detail.end(), u'\n') != 3)
            fail("malformed readout", box.detail);

        const std::string exact(box.exact.begin(), box.exact.end());
        double value = 0;
        const auto [end, error] = std::from_chars(exact.data(), exact.data() + exact.size(), value);
        const double time = boxes[i].second;
        const std::size_t mantissaEnd = std::min(exact.find('e'), exact.size());
        const std::u16string_view mantissa = std::u16string_view(box.exact).substr(0, mantissaEnd);
        const std::size_t significant =
            countDigits(mantissa.substr(std::min(mantissa.find_first_of(u"123456789"), mantissaEnd)));
        if (error != std::errc() || end != exact.data() + exact.size() || significant > 15
            || (exact.find('.') < mantissaEnd && exact[mantissaEnd - 1] == '0')
            || std::fabs(value - time) > std::fabs(time) * 1e-14 + std::numeric_limits<double>::denorm_min())
            fail("exact text is not the time to 15 digits", box.exact);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text = decodeUtf8(std::string_view(reinterpret_cast<const char *>(data), size));
    std::u16string entries[3];
    std::size_t entry = 0;
    for (char16_t c : text) {
        if (c == u'|' && entry < 2)
            ++entry;
        else
            entries[entry] += c;
    }
    for (const std::u16string &each : entries)
        checkEntry(each);
    if (size >= sizeof(double)) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        checkNotations(std::bit_cast<double>(bits));
    }

    const TimingInput input{entries[0], entries[1], entries[2]};
    try {
        const CalculateOutcome outcome = Calculate(input);
        const bool anyEmpty =
            TrimSpaces(input.ra).empty() || TrimSpaces(input.rb).empty() || TrimSpaces(input.c).empty();
        if (const auto *texts = std::get_if<TimingTexts>(&outcome)) {
            if (anyEmpty)
                fail("computed although an entry is empty");
            checkResult(texts->t1);
            checkResult(texts->t2);
            checkResult(texts->t);
            checkReadout(input, *texts);
        } else if (!anyEmpty) {
            fail("incomplete although every entry is filled");
        }
    } catch (const OverflowError &) {}
    // Any other exception escapes and libFuzzer reports it as a crash.
    return 0;
}
