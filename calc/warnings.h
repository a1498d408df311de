#pragma once

#include "calc/timing.h"

#include <string>
#include <string_view>

namespace ferolune::calc {

// The three entries, as the readout names them.
enum class Entry { Ra, Rb, C };

// The warning line for an entry that was not read as typed: characters other
// than blanks and the box's own unit after its number, or no number at all.
// Empty when it was read as typed (`1000 Ω`, `10uF`). Takes the entry's trimmed text, as the calculation reads it:
// 注意：C 输入“100n”读作 100 μF（“n”未计入，单位为 μF）
std::u16string readingWarning(Entry entry, std::u16string_view trimmed);

// A line for each sign, in the values read, that the design cannot oscillate
// or would harm the chip: negative values, no capacitor or no period, R_A = 0,
// R_A below its minimum, R_B = 0, a frequency beyond the bipolar 555. Each line
// ends in a line feed; none for an ordinary design.
std::u16string designWarnings(const EnteredValues &read, const TimingResult &times);

} // namespace ferolune::calc
