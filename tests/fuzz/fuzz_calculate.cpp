// Feeds three entry texts to Calculate: it must answer or report an overflow,
// and every text it answers with must read "-?[0-9]+\.[0-9]{2}".
//
// The input is UTF-8 (stray bytes count as Latin-1 characters); "|" separates
// the three entries, so a seed reads like "1000| 1000 |10".
#include "calc/numeric_text.h"
#include "calc/timing.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

namespace {

using namespace ferolune::calc;

[[noreturn]] void Fail(const char *what, std::u16string_view text = {})
{
    std::fprintf(stderr, "%s:", what);
    for (char16_t c : text)
        std::fprintf(stderr, c >= 0x20 && c < 0x7f ? " %c" : " U+%04X", unsigned(c));
    std::fprintf(stderr, "\n");
    std::abort();
}

std::u16string DecodeUtf8(std::string_view bytes)
{
    std::u16string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3
                                                 : lead >> 3 == 30 ? 4 : 0;
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
        Fail("malformed result", text);
    try {
        if (FormatFixed2(LeadingNumber(text)) != text)
            Fail("result does not read back", text);
    } catch (const OverflowError &) {
        if (text.size() < 309)
            Fail("result overflows when read back", text);
    }
}

void checkEntry(std::u16string_view entry)
{
    try {
        const double value = LeadingNumber(entry);
        if (!isResultText(FormatFixed2(value)))
            Fail("malformed format of entry", entry);
    } catch (const OverflowError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text =
        DecodeUtf8(std::string_view(reinterpret_cast<const char *>(data), size));
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

    const TimingInput input{entries[0], entries[1], entries[2]};
    try {
        const CalculateOutcome outcome = Calculate(input);
        const bool anyEmpty = TrimSpaces(input.ra).empty() || TrimSpaces(input.rb).empty()
                              || TrimSpaces(input.c).empty();
        if (const auto *texts = std::get_if<TimingTexts>(&outcome)) {
            if (anyEmpty)
                Fail("computed although an entry is empty");
            checkResult(texts->t1);
            checkResult(texts->t2);
            checkResult(texts->t);
        } else if (!anyEmpty) {
            Fail("incomplete although every entry is filled");
        }
    } catch (const OverflowError &) {
    }
    // Any other exception escapes and libFuzzer reports it as a crash.
    return 0;
}
