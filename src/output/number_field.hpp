#pragma once
// The 12-column number field of the time history files: "d.dddde+xxx" with a
// sign column, a three-digit exponent, and two-stage half-up rounding (to 17
// significant digits, then to 5), which no standard formatter produces.

#include "run/limits.hpp"

namespace corvel {

// Writes exactly kNumberFieldWidth bytes, no terminator.
void format_number_field(double value, char* field);

// The five digits shown for a positive finite value and the decimal exponent
// of the first, by two ways that must agree: from to_chars (any value), and
// in integers (most values, much faster; false where it does not apply).
struct Shown {
  int digits;  // 10000 to 99999
  int exponent;
  bool operator==(const Shown&) const = default;
};
Shown shown_by_to_chars(double magnitude);
bool shown_by_integers(double magnitude, Shown& shown);

}  // namespace corvel
