#pragma once
// The 12-column number field of the time history files: "d.dddde+xxx" with a
// sign column, a three-digit exponent, and two-stage half-up rounding (to 17
// significant digits, then to 5), which no standard formatter produces.

#include "run/limits.hpp"

namespace corvel {

// Writes exactly kNumberFieldWidth bytes, no terminator.
void format_number_field(double value, char* field);

}  // namespace corvel
