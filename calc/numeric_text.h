#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ferolune::calc {

// A value left the double range. Nothing here ever yields an infinity or a NaN:
// the caller is told instead, so it can say so to the user and keep running.
class OverflowError : public std::overflow_error
{
public:
    OverflowError() : std::overflow_error("numeric overflow") {}
};

// The text without its leading and trailing blanks (U+0020 and the ideographic
// space U+3000). Tabs and every other character stay.
std::u16string_view TrimSpaces(std::u16string_view text);

// The ASCII character a full-width form (U+FF01 to U+FF5E) stands for, as
// Chinese input methods type them; any other character as it is.
char16_t narrowFullWidth(char16_t c);

// Whether the text is the micro prefix as users type it: u, the Greek μ or the
// micro sign µ.
bool isMicroPrefix(std::u16string_view text);

// The value of the number the text starts with, read the way a user types it:
// blanks (space, tab, line feed, U+3000) anywhere are ignored, full-width forms
// count as ASCII, the ideographic full stop "。" (and "｡") is a decimal point as
// "." is, the exponent marker is E or D in either case, "&H"/"&O" give
// hexadecimal/octal after an optional sign, and reading stops at the first
// character that cannot continue the number. The result is the double nearest
// to that prefix; no numeric prefix gives 0. Throws OverflowError when the
// value rounds beyond the double range (a value too small for it gives 0).
double LeadingNumber(std::u16string_view text);

// LeadingNumber's value, and how many characters of the text its number takes,
// with the blanks within it and after it: 2 for "10k", 6 for "1 000 x", 3 for
// "47\t", 1 for "1e" (an exponent marker without digits is no part of it); 0
// where there is no numeric prefix ("abc", "-", "&H"). What lies beyond was not read.
struct LeadingNumberRead
{
    double value = 0;
    std::size_t length = 0;
};
LeadingNumberRead readLeadingNumber(std::u16string_view text);

// The value with exactly two decimals ("0.00"): fixed point, half away from
// zero on the value's 15-significant-digit decimal form, never "-0.00".
// Throws OverflowError for an infinity or a NaN, which have no such form.
std::u16string FormatFixed2(double value);

} // namespace ferolune::calc
