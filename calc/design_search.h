#pragma once

#include "calc/engineering_notation.h"
#include "calc/timing.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ferolune::calc {

// The reverse question: which standard parts give a frequency and a duty cycle.

enum class ResistorSeries { E12, E24, E96 };
enum class CapacitorSeries { E6, E12 };

// A part as the main window gets it: the text written into its entry (R in Ω,
// C in μF) and the value the calculation reads from that text (Ω, F).
struct Part
{
    std::u16string text;
    double value = 0;
};

// Every value of the series from 1 kΩ to 10 MΩ, ascending.
std::vector<Part> resistorValues(ResistorSeries series);
// Every value of the series from 1 nF to 1000 μF, ascending.
std::vector<Part> capacitorValues(CapacitorSeries series);
// A capacitance typed in μF, written so that the calculation reads it back exactly.
Part typedCapacitor(double microfarads);

struct DesignTarget
{
    double frequency = 0; // Hz
    double duty = 0; // T1/T, from 0.5 (approached only) to below 1
};

// Where the parts may be chosen from.
struct DesignSpace
{
    std::vector<Part> resistors, capacitors; // ascending
    double resistorTolerance = 0.05;
};

struct DesignCandidate
{
    Part ra, rb, c;
    TimingResult times;
    // 1/T and T1/T as the main window's readout computes them.
    double frequency = 0, duty = 0;
    // The larger of the frequency's and the duty cycle's relative deviations.
    double error = 0;
    // The frequency's worst cases over the parts' tolerances.
    double lowest = 0, highest = 0;
};

// The candidate as Calculate computes it from the three texts.
DesignCandidate evaluateDesign(const Part &ra, const Part &rb, const Part &c, const DesignTarget &target,
                               double resistorTolerance);

// Whether a comes before b in the list: the smaller error, then the smaller C,
// R_A and R_B.
bool designBefore(const DesignCandidate &a, const DesignCandidate &b);

// The `count` best combinations of the space, best first, each triple once.
std::vector<DesignCandidate> searchDesigns(const DesignTarget &target, const DesignSpace &space, std::size_t count = 8);

// The target field: a frequency ("38k", "38 kHz", "1.5M") or a period ("2 s",
// "500 ms", "26.3 μs"), read as the main window reads a number; in Hz, or the
// line that says why it cannot be searched.
std::variant<std::u16string, double> readTargetFrequency(std::u16string_view typed);

// What the design window shows for the four fields: a line for a target it
// cannot search (then no candidates) or a warning about the list, and the list.
struct DesignAnswer
{
    std::u16string message;
    std::vector<DesignCandidate> candidates;
};
DesignAnswer designFor(std::u16string_view target, std::u16string_view duty, ResistorSeries resistors,
                       std::u16string_view capacitor);

// One row of the list: R_A, R_B, C, f, duty cycle, error, frequency range.
std::array<std::u16string, 7> designRow(const DesignCandidate &candidate);

// A part's value as a label: "4.7 kΩ", "10 nF", "1 MΩ".
std::u16string partLabel(double value, Unit unit);

} // namespace ferolune::calc
