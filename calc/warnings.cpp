#include "calc/warnings.h"

#include "calc/engineering_notation.h"
#include "calc/numeric_text.h"

#include <array>

namespace ferolune::calc {

namespace {

// The limits the NE555/LM555 family's data sheets give.
//
// R_A: whenever the discharge transistor conducts, it sinks VCC / R_A. TI's
// LM555 data sheet (SNAS548D, 6.5 Electrical Characteristics, "Pin 7 Sat")
// specifies it at I7 = 15 mA from VCC = 15 V and 4.5 mA from 4.5 V, and its
// timing error for R_A, R_B = 1 kΩ to 100 kΩ; ST's NE555 (Table 3, V_dis(sat)
// at I_dis = 15 mA and 4.5 mA) the same: both are VCC / 1 kΩ.
constexpr double SmallestRa = 1000;
// 500 kHz: the bipolar 555's maximum operating frequency as quoted from the
// features of the Philips NE555 data sheet, which was not at hand; the formulas leave out the comparators'
// and the discharge transistor's delays, which lengthen the period more and
// more as it gets shorter. CMOS 555s go further (TI TLC555, SLFS078,
// Switching Characteristics: f_max 2.1 MHz typical).
constexpr double HighestFrequency = 500e3;

constexpr std::size_t ShownCharacters = 20;

struct EntryName
{
    std::u16string_view name, unit, quantity;
};

constexpr std::array<EntryName, 3> Entries{EntryName{u"R_A", u"Ω", u"电阻"}, EntryName{u"R_B", u"Ω", u"电阻"},
                                           EntryName{u"C", u"μF", u"电容"}};

// A typed text shown in a warning, in quotes: long pastes cut short, and line
// feeds, tabs, line separators and other control characters shown as blanks,
// so that the warning stays one line.
std::u16string quoted(std::u16string_view text)
{
    std::u16string shown(text.substr(0, ShownCharacters));
    if (text.size() > ShownCharacters) {
        constexpr char16_t FirstHighSurrogate = 0xD800, LastHighSurrogate = 0xDBFF;
        shown.resize(ShownCharacters - 1);
        if (shown.back() >= FirstHighSurrogate && shown.back() <= LastHighSurrogate) // not half a character
            shown.pop_back();
        shown += u'…';
    }
    for (char16_t &c : shown) {
        if (c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029)
            c = u' ';
    }
    return u"“" + shown + u"”";
}

std::u16string line(std::u16string_view text)
{
    return u"注意：" + std::u16string(text) + u"\n";
}

std::u16string negative(const EntryName &entry)
{
    return line(std::u16string(entry.name) + u" 为负数：" + std::u16string(entry.quantity)
                + u"不能为负，这组结果没有意义");
}

bool equalsIgnoringAsciiCase(std::u16string_view text, std::u16string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? char16_t(text[i] + (u'a' - u'A')) : text[i];
        if (c != lower[i])
            return false;
    }
    return true;
}

// The unit the box is in, written after the number: read exactly as meant, since
// the box's unit is what the number is taken in anyway. Ω comes as the Greek
// letter or as the ohm sign, μ as the Greek letter or as the micro sign.
bool isOwnUnit(Entry entry, std::u16string_view rest)
{
    if (entry != Entry::C)
        return rest == u"Ω" || rest == u"\u2126" || rest == u"欧" || equalsIgnoringAsciiCase(rest, u"ohm");
    if (rest == u"微法")
        return true;
    if (rest.size() == 2 && (rest[1] == u'F' || rest[1] == u'f'))
        rest.remove_suffix(1);
    return isMicroPrefix(rest);
}

} // namespace

std::u16string readingWarning(Entry entry, std::u16string_view trimmed)
{
    const LeadingNumberRead read = readLeadingNumber(trimmed);
    const std::u16string_view rest = trimmed.substr(read.length);
    if (read.length != 0 && (rest.empty() || isOwnUnit(entry, rest)))
        return {};
    const EntryName &name = Entries[std::size_t(entry)];
    const std::u16string typed = std::u16string(name.name) + u" 输入" + quoted(trimmed) + u"读作 ";
    if (read.length == 0)
        return line(typed + u"0 " + std::u16string(name.unit) + u"（开头不是数）");
    return line(typed + formatFifteenDigits(read.value) + u" " + std::u16string(name.unit) + u"（" + quoted(rest)
                + u"未计入，单位为 " + std::u16string(name.unit) + u"）");
}

std::u16string designWarnings(const EnteredValues &read, const TimingResult &times)
{
    std::u16string lines;
    if (read.ra < 0)
        lines += negative(Entries[0]);
    if (read.rb < 0)
        lines += negative(Entries[1]);
    if (read.c < 0)
        lines += negative(Entries[2]);
    if (read.c == 0)
        lines += line(u"C = 0：没有定时电容，电路不会振荡");
    else if (times.t == 0)
        lines += line(u"T = 0：电路不会振荡");
    if (read.ra == 0)
        lines += line(u"R_A = 0：放电时电源经 7 脚直接短路，会烧坏 555");
    else if (read.ra > 0 && read.ra < SmallestRa)
        lines += line(u"R_A 小于 1 kΩ：7 脚的放电电流超过数据手册给出的范围（15 V 时 15 mA）");
    if (read.rb == 0)
        lines += line(u"R_B = 0：电容经 7 脚直接放电，T2 = 0，占空比 100%");
    if (times.t > 0 && isBeyondBipolar555(1 / times.t))
        lines += beyondBipolar555Warning() + u"\n";
    return lines;
}

bool isBeyondBipolar555(double frequency)
{
    return frequency > HighestFrequency;
}

std::u16string beyondBipolar555Warning()
{
    return u"注意：f 超过 500 kHz：双极型 555 达不到，实际频率会低于计算值，可改用 CMOS 型 555";
}

} // namespace ferolune::calc
