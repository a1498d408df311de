#include "calc/design_search.h"

#include "calc/numeric_text.h"
#include "calc/warnings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <tuple>

namespace ferolune::calc {

namespace {

// IEC 60063. The series are rounded by hand, not computed: E24's 2.7, 3.0,
// 3.3 ... 9.1 are not the geometric series rounded to two digits.
constexpr int E6[] = {10, 15, 22, 33, 47, 68};
constexpr int E12[] = {10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82};
constexpr int E24[] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30, 33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};
constexpr int E96[] = {100, 102, 105, 107, 110, 113, 115, 118, 121, 124, 127, 130, 133, 137, 140, 143,
                       147, 150, 154, 158, 162, 165, 169, 174, 178, 182, 187, 191, 196, 200, 205, 210,
                       215, 221, 226, 232, 237, 243, 249, 255, 261, 267, 274, 280, 287, 294, 301, 309,
                       316, 324, 332, 340, 348, 357, 365, 374, 383, 392, 402, 412, 422, 432, 442, 453,
                       464, 475, 487, 499, 511, 523, 536, 549, 562, 576, 590, 604, 619, 634, 649, 665,
                       681, 698, 715, 732, 750, 768, 787, 806, 825, 845, 866, 887, 909, 931, 953, 976};
static_assert(std::size(E96) == 96);

// Resistors within 5 % (E12, E24) or 1 % (E96); capacitors within 10 % below
// 1 μF, electrolytics within 20 % from 1 μF up.
constexpr double E96Tolerance = 0.01;
constexpr double SeriesTolerance = 0.05;
constexpr double SmallCapacitorTolerance = 0.10;
constexpr double ElectrolyticTolerance = 0.20;
constexpr double ElectrolyticFrom = 1e-6;

// Typed capacitances beyond these are no part, and their periods could leave the double range.
constexpr double SmallestTypedMicrofarads = 1e-6;
constexpr double LargestTypedMicrofarads = 1e6;
constexpr double LowestTarget = 1e-6;
constexpr double HighestTarget = 1e9;

// A computed error may be a few units in the last place off the exact one; a
// combination is passed over only when its error is clearly above the list's last.
constexpr double RoundingMargin = 1e-9;

// Beyond this the best candidate is not the target; the window says so.
constexpr double FarError = 0.05;

// mantissa x 10^exponent as a plain decimal: "4700", "0.0047", "1000".
std::u16string decimalText(int mantissa, int exponent)
{
    std::string digits = std::to_string(mantissa);
    while (exponent > 0) {
        digits += '0';
        --exponent;
    }
    if (exponent < 0) {
        const auto point = std::size_t(-exponent);
        if (digits.size() <= point)
            digits.insert(0, point - digits.size() + 1, '0');
        digits.insert(digits.size() - point, 1, '.');
        digits.erase(digits.find_last_not_of('0') + 1);
        if (digits.back() == '.')
            digits.pop_back();
    }
    return std::u16string(digits.begin(), digits.end());
}

std::span<const int> mantissas(ResistorSeries series)
{
    switch (series) {
    case ResistorSeries::E12:
        return E12;
    case ResistorSeries::E24:
        return E24;
    case ResistorSeries::E96:
        break;
    }
    return E96;
}

// The values of the series from mantissa 10^first up to the decade 10^last,
// which is included: first and last count the mantissa's digits in.
std::vector<Part> seriesValues(std::span<const int> series, int first, int last, double scale)
{
    std::vector<Part> parts;
    for (int exponent = first; exponent < last; ++exponent) {
        for (const int mantissa : series) {
            std::u16string text = decimalText(mantissa, exponent);
            const double value = LeadingNumber(text) * scale;
            parts.push_back({std::move(text), value});
        }
    }
    std::u16string text = decimalText(series.front(), last);
    const double value = LeadingNumber(text) * scale;
    parts.push_back({std::move(text), value});
    return parts;
}

double capacitorTolerance(double farads)
{
    return farads < ElectrolyticFrom ? SmallCapacitorTolerance : ElectrolyticTolerance;
}

double errorOf(double frequency, double duty, const DesignTarget &target)
{
    return std::max(std::fabs(frequency / target.frequency - 1), std::fabs(duty / target.duty - 1));
}

// The error of one combination, as evaluateDesign gets it through Calculate:
// the same values read, the same formulas.
double errorOf(double ra, double rb, double c, const DesignTarget &target)
{
    const TimingResult times = computeTiming(ra, rb, c);
    return errorOf(1 / times.t, times.t1 / times.t, target);
}

struct Scored
{
    double error;
    std::size_t c, ra, rb; // indices into the ascending lists
};

bool scoredBefore(const Scored &a, const Scored &b)
{
    return std::tie(a.error, a.c, a.ra, a.rb) < std::tie(b.error, b.c, b.ra, b.rb);
}

// The best few, sorted; an offer that cannot be among them is turned away at once.
class BestList
{
public:
    explicit BestList(std::size_t count) : m_count(count) { m_best.reserve(count + 1); }

    double bound() const
    {
        return m_best.size() < m_count ? std::numeric_limits<double>::infinity() : m_best.back().error;
    }

    void offer(const Scored &scored)
    {
        if (m_count == 0 || (m_best.size() == m_count && !scoredBefore(scored, m_best.back())))
            return;
        m_best.insert(std::upper_bound(m_best.begin(), m_best.end(), scored, scoredBefore), scored);
        if (m_best.size() > m_count)
            m_best.pop_back();
    }

    const std::vector<Scored> &best() const { return m_best; }

private:
    std::size_t m_count;
    std::vector<Scored> m_best;
};

// The unit after a number, blanks dropped and full-width forms narrowed.
std::u16string unitAfter(std::u16string_view text, std::size_t length)
{
    std::u16string unit;
    for (const char16_t c : text.substr(length))
        if (c != u' ' && c != u'\t' && c != u'\u3000')
            unit += narrowFullWidth(c);
    return unit;
}

struct Problem
{
    std::u16string message;
};

// The target field: a frequency ("38k", "38 kHz", "1.5M") or a period ("2 s",
// "500 ms", "26.3 μs"), in Hz.
std::variant<Problem, double> readTarget(std::u16string_view typed)
{
    const std::u16string_view text = TrimSpaces(typed);
    if (text.empty())
        return Problem{u"请输入目标频率（如 38k、1 kHz）或周期（如 2 s、500 ms）"};
    LeadingNumberRead read;
    try {
        read = readLeadingNumber(text);
    } catch (const OverflowError &) {
        read.length = text.size();
        read.value = std::numeric_limits<double>::infinity();
    }
    if (read.length == 0)
        return Problem{u"频率或周期要以数开头，如 38k、1 kHz、2 s、500 ms"};
    const std::u16string unit = unitAfter(text, read.length);
    std::u16string_view prefix = unit;
    bool period = false, hertz = false;
    if (prefix.size() >= 2 && (prefix.ends_with(u"Hz") || prefix.ends_with(u"hz") || prefix.ends_with(u"HZ"))) {
        prefix.remove_suffix(2);
        hertz = true;
    } else if (!prefix.empty() && (prefix.back() == u's' || prefix.back() == u'S')) {
        prefix.remove_suffix(1);
        period = true;
    }
    double value = read.value;
    if (!period && (prefix == u"k" || prefix == u"K"))
        value *= 1e3;
    else if (!period && prefix == u"M")
        value *= 1e6;
    else if ((hertz || period) && prefix == u"m") // "500m" is neither mHz nor ms
        value /= 1e3;
    else if (period && isMicroPrefix(prefix))
        value /= 1e6;
    else if (period && prefix == u"n")
        value /= 1e9;
    else if (!prefix.empty())
        return Problem{u"看不懂单位“" + unit + u"”：频率用 Hz、kHz、MHz，周期用 s、ms、μs"};
    if (!(value > 0))
        return Problem{u"频率或周期必须大于 0"};
    const double frequency = period ? 1 / value : value;
    if (!(frequency >= LowestTarget && frequency <= HighestTarget))
        return Problem{u"频率或周期超出范围：频率应在 1 μHz 到 1 GHz 之间"};
    return frequency;
}

// The duty cycle field, in per cent: "60", "60%"; as T1/T.
std::variant<Problem, double> readDuty(std::u16string_view typed)
{
    const std::u16string_view text = TrimSpaces(typed);
    if (text.empty())
        return Problem{u"请输入占空比，如 60 或 60%"};
    LeadingNumberRead read;
    try {
        read = readLeadingNumber(text);
    } catch (const OverflowError &) {
        return Problem{u"占空比必须小于 100%"};
    }
    if (read.length == 0)
        return Problem{u"占空比要以数开头，如 60 或 60%"};
    const std::u16string unit = unitAfter(text, read.length);
    if (!unit.empty() && unit != u"%")
        return Problem{u"占空比以 % 计，如 60 或 60%"};
    const double duty = read.value / 100;
    if (duty < 0.5)
        return Problem{u"占空比低于 50%：这个电路的占空比总大于 50%。更低的占空比要在 R_B "
                       u"上并联二极管，或把输出反相，本程序不计算这种接法"};
    if (duty >= 1)
        return Problem{u"占空比必须小于 100%"};
    return duty;
}

// The capacitor field: a series, or a value in μF unless it says otherwise.
std::variant<Problem, std::vector<Part>> readCapacitor(std::u16string_view typed)
{
    const std::u16string_view text = TrimSpaces(typed);
    std::u16string name;
    for (const char16_t c : text)
        name += narrowFullWidth(c);
    if (name == u"E6" || name == u"e6")
        return capacitorValues(CapacitorSeries::E6);
    if (name == u"E12" || name == u"e12")
        return capacitorValues(CapacitorSeries::E12);
    const auto example = u"电容请选 E6、E12，或输入电容值，如 10u、100n、0.1 μF";
    if (text.empty())
        return Problem{example};
    LeadingNumberRead read;
    try {
        read = readLeadingNumber(text);
    } catch (const OverflowError &) {
        return Problem{u"电容应在 1 pF 到 1 F 之间"};
    }
    if (read.length == 0)
        return Problem{example};
    const std::u16string unit = unitAfter(text, read.length);
    std::u16string_view prefix = unit;
    if (!prefix.empty() && (prefix.back() == u'F' || prefix.back() == u'f'))
        prefix.remove_suffix(1);
    double microfarads = read.value;
    if (prefix == u"n")
        microfarads /= 1e3;
    else if (prefix == u"p")
        microfarads /= 1e6;
    else if (prefix == u"m")
        microfarads *= 1e3;
    else if (!prefix.empty() && !isMicroPrefix(prefix))
        return Problem{u"看不懂电容单位“" + unit + u"”：请用 pF、nF、μF，或 p、n、u"};
    if (!(microfarads > 0))
        return Problem{u"电容必须大于 0"};
    if (microfarads < SmallestTypedMicrofarads || microfarads > LargestTypedMicrofarads)
        return Problem{u"电容应在 1 pF 到 1 F 之间"};
    return std::vector<Part>{typedCapacitor(microfarads)};
}

} // namespace

std::vector<Part> resistorValues(ResistorSeries series)
{
    const std::span<const int> values = mantissas(series);
    // From the data sheets' floor for R_A (warnings.cpp), 10 (or 100) x 10^2
    // (or 10^1) = 1 kΩ, to 10 MΩ, the most a hobbyist's parts box holds.
    const int digits = values.front() < 100 ? 2 : 1;
    return seriesValues(values, digits, digits + 4, 1);
}

std::vector<Part> capacitorValues(CapacitorSeries series)
{
    // In μF: 10 x 10^-4 is 1 nF, 10 x 10^2 is 1000 μF.
    return seriesValues(series == CapacitorSeries::E6 ? std::span<const int>(E6) : std::span<const int>(E12), -4, 2,
                        MicrofaradScale);
}

Part typedCapacitor(double microfarads)
{
    // The shortest decimal that reads back as the same double.
    std::array<char, 400> digits;
    char *end = std::to_chars(digits.data(), digits.data() + digits.size(), microfarads, std::chars_format::fixed).ptr;
    std::u16string text(static_cast<const char *>(digits.data()), static_cast<const char *>(end));
    const double value = LeadingNumber(text) * MicrofaradScale;
    return {std::move(text), value};
}

DesignCandidate evaluateDesign(const Part &ra, const Part &rb, const Part &c, const DesignTarget &target,
                               double resistorTolerance)
{
    DesignCandidate candidate;
    candidate.ra = ra;
    candidate.rb = rb;
    candidate.c = c;
    const auto texts = std::get<TimingTexts>(Calculate({ra.text, rb.text, c.text}));
    candidate.times = texts.times;
    candidate.frequency = 1 / texts.times.t;
    candidate.duty = texts.times.t1 / texts.times.t;
    candidate.error = errorOf(candidate.frequency, candidate.duty, target);
    // The period grows with each part, so its extremes are at two corners.
    const double r = resistorTolerance, cap = capacitorTolerance(texts.read.c);
    const EnteredValues &read = texts.read;
    candidate.lowest = 1 / computeTiming(read.ra * (1 + r), read.rb * (1 + r), read.c * (1 + cap)).t;
    candidate.highest = 1 / computeTiming(read.ra * (1 - r), read.rb * (1 - r), read.c * (1 - cap)).t;
    return candidate;
}

bool designBefore(const DesignCandidate &a, const DesignCandidate &b)
{
    return std::tie(a.error, a.c.value, a.ra.value, a.rb.value) < std::tie(b.error, b.c.value, b.ra.value, b.rb.value);
}

// For one C and one R_A, the duty cycle fixes R_B / R_A and the frequency fixes
// R_A + 2 R_B. The error, the larger of two deviations that each fall and then
// rise with R_B, falls and then rises too: each pair finds its best R_B by
// bisection and walks outwards only while the error can still be among the
// best. A pair is passed over when the R_B that keep the frequency within the
// list's last error and those that keep the duty cycle within it do not meet.
// The pairs nearest the ideal R_A of each C go first, best C first, so that
// the list's last error is small from the start.
std::vector<DesignCandidate> searchDesigns(const DesignTarget &target, const DesignSpace &space, std::size_t count)
{
    const std::vector<Part> &rs = space.resistors;
    const std::vector<Part> &cs = space.capacitors;
    if (rs.empty() || cs.empty() || count == 0)
        return {};
    BestList list(count);
    const std::size_t n = rs.size();
    const double smallest = rs.front().value, largest = rs.back().value;
    // R_B / R_A for a duty cycle; beyond the ends, no R_B or every one.
    const auto ratioFor = [](double duty) {
        if (duty >= 1)
            return 0.0;
        if (duty <= 0.5)
            return std::numeric_limits<double>::infinity();
        return (1 - duty) / (2 * duty - 1);
    };
    const double idealRatio = ratioFor(target.duty);

    // The R_B that keep both deviations within the bound, widened far beyond
    // what rounding can move an error; empty when they do not meet.
    const auto mayQualify = [&](double ra, double c) {
        const double bound = list.bound() * (1 + RoundingMargin) + RoundingMargin;
        if (std::isinf(bound))
            return true;
        const double k = 1 / (TimingCoefficient * c * target.frequency); // R_A + 2 R_B
        const double fromFrequency = (k / (1 + bound) - ra) / 2;
        const double toFrequency = bound < 1 ? (k / (1 - bound) - ra) / 2 : std::numeric_limits<double>::infinity();
        const double fromDuty = ra * ratioFor(target.duty * (1 + bound));
        const double toDuty = ra * ratioFor(target.duty * (1 - bound));
        const double from = std::max({fromFrequency, fromDuty, smallest});
        const double to = std::min({toFrequency, toDuty, largest});
        return from <= to;
    };
    // Whether no R_A from this one up can reach the frequency: R_A + 2 R_B is too large already.
    const auto tooSlow = [&](double ra, double c) {
        const double bound = list.bound() * (1 + RoundingMargin) + RoundingMargin;
        const double k = 1 / (TimingCoefficient * c * target.frequency);
        return bound < 1 && (k / (1 - bound) - ra) / 2 < smallest;
    };

    // The R_B of the pair with the smallest error, by bisection, since the error falls and then rises.
    const auto bestRb = [&](std::size_t ci, std::size_t ai) {
        const double c = cs[ci].value, ra = rs[ai].value;
        std::size_t lo = 0, hi = n - 1;
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (errorOf(ra, rs[mid + 1].value, c, target) < errorOf(ra, rs[mid].value, c, target))
                lo = mid + 1;
            else
                hi = mid;
        }
        return Scored{errorOf(ra, rs[lo].value, c, target), ci, ai, lo};
    };
    const auto searchPair = [&](std::size_t ci, std::size_t ai) {
        const Scored best = bestRb(ci, ai);
        list.offer(best);
        const auto walk = [&](std::size_t bi) {
            const double e = errorOf(rs[ai].value, rs[bi].value, cs[ci].value, target);
            if (e > list.bound() + RoundingMargin)
                return false;
            list.offer({e, ci, ai, bi});
            return true;
        };
        for (std::size_t bi = best.rb; bi-- > 0 && walk(bi);) {}
        for (std::size_t bi = best.rb + 1; bi < n && walk(bi); ++bi) {}
    };

    const auto lowerBound = [&](double value) {
        return std::size_t(
            std::lower_bound(rs.begin(), rs.end(), value, [](const Part &p, double v) { return p.value < v; })
            - rs.begin());
    };
    // For every C, the two R_A beside the one for which both deviations vanish,
    // and how close they come; the most promising C go first.
    struct Seed
    {
        std::size_t c;
        std::array<std::size_t, 2> ra;
        double error;
    };
    std::vector<Seed> seeds;
    for (std::size_t ci = 0; ci < cs.size(); ++ci) {
        const double k = 1 / (TimingCoefficient * cs[ci].value * target.frequency);
        const std::size_t above = std::min(lowerBound(k / (2 * idealRatio + 1)), n - 1);
        Seed seed{ci, {above == 0 ? above : above - 1, above}, 0};
        seed.error = std::min(bestRb(ci, seed.ra[0]).error, bestRb(ci, seed.ra[1]).error);
        seeds.push_back(seed);
    }
    std::sort(seeds.begin(), seeds.end(), [](const Seed &a, const Seed &b) { return a.error < b.error; });
    for (const Seed &seed : seeds) {
        searchPair(seed.c, seed.ra[0]);
        if (seed.ra[1] != seed.ra[0])
            searchPair(seed.c, seed.ra[1]);
    }
    for (const Seed &seed : seeds) {
        const double c = cs[seed.c].value;
        for (std::size_t ai = 0; ai < n; ++ai) {
            if (ai == seed.ra[0] || ai == seed.ra[1])
                continue;
            if (tooSlow(rs[ai].value, c))
                break;
            if (mayQualify(rs[ai].value, c))
                searchPair(seed.c, ai);
        }
    }

    std::vector<DesignCandidate> candidates;
    for (const Scored &scored : list.best())
        candidates.push_back(
            evaluateDesign(rs[scored.ra], rs[scored.rb], cs[scored.c], target, space.resistorTolerance));
    return candidates;
}

std::variant<std::u16string, double> readTargetFrequency(std::u16string_view typed)
{
    auto read = readTarget(typed);
    if (auto *problem = std::get_if<Problem>(&read))
        return std::move(problem->message);
    return std::get<double>(read);
}

DesignAnswer designFor(std::u16string_view target, std::u16string_view duty, ResistorSeries resistors,
                       std::u16string_view capacitor)
{
    const auto frequency = readTarget(target);
    if (const auto *problem = std::get_if<Problem>(&frequency))
        return {problem->message, {}};
    const auto dutyCycle = readDuty(duty);
    if (const auto *problem = std::get_if<Problem>(&dutyCycle))
        return {problem->message, {}};
    auto capacitors = readCapacitor(capacitor);
    if (const auto *problem = std::get_if<Problem>(&capacitors))
        return {problem->message, {}};

    const DesignTarget wanted{std::get<double>(frequency), std::get<double>(dutyCycle)};
    const DesignSpace space{resistorValues(resistors), std::move(std::get<std::vector<Part>>(capacitors)),
                            resistors == ResistorSeries::E96 ? E96Tolerance : SeriesTolerance};
    DesignAnswer answer{{}, searchDesigns(wanted, space)};
    if (wanted.duty == 0.5)
        answer.message = u"注意：占空比 50% 只能接近，不能达到（R_B 比 R_A 大得越多越接近），下面是最接近的组合";
    if (isBeyondBipolar555(wanted.frequency))
        answer.message = beyondBipolar555Warning();
    else if (!answer.candidates.empty() && answer.candidates.front().error > FarError)
        answer.message = u"注意：误差最小的一组也差 " + formatPercent1(answer.candidates.front().error)
            + u"，所选元件（R 为 1 kΩ 到 10 MΩ）达不到这个目标";
    return answer;
}

std::u16string partLabel(double value, Unit unit)
{
    std::u16string text = formatEngineering(value, unit);
    const std::size_t space = text.find(u' ');
    const std::size_t point = text.find(u'.');
    if (space == std::u16string::npos || point == std::u16string::npos || point > space)
        return text;
    std::size_t end = space;
    while (text[end - 1] == u'0')
        --end;
    if (text[end - 1] == u'.')
        --end;
    return text.erase(end, space - end);
}

std::array<std::u16string, 7> designRow(const DesignCandidate &candidate)
{
    // Beyond 1000 % the digits say nothing more.
    constexpr double LargestShownError = 9.9995;
    const std::u16string error =
        candidate.error < LargestShownError ? formatPercent1(candidate.error) : std::u16string(u"> 999.9%");
    std::u16string low = formatEngineering(candidate.lowest, Unit::Hertz);
    const std::u16string high = formatEngineering(candidate.highest, Unit::Hertz);
    // "36.90–39.21 kHz" where both ends take the same unit.
    const std::size_t lowUnit = low.find(u' '), highUnit = high.find(u' ');
    if (low.substr(lowUnit) == high.substr(highUnit))
        low.erase(lowUnit);
    return {partLabel(candidate.ra.value, Unit::Ohm),
            partLabel(candidate.rb.value, Unit::Ohm),
            partLabel(candidate.c.value, Unit::Farad),
            formatEngineering(candidate.frequency, Unit::Hertz),
            formatPercent1(candidate.duty),
            error,
            low + u"–" + high};
}

} // namespace ferolune::calc
