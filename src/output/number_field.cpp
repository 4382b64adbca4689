#include "output/number_field.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace corvel {

namespace {

constexpr int kShownDigits = 5;
constexpr int kExactPrecision = 16;  // digits after the point: 17 significant

// Digits 1 to 17 of the exact decimal value, rounded on the 18th, and the
// decimal exponent of the first. to_chars rounds the 18th to nearest; it can
// differ from half-up only on an exact tie with an even 17th digit, which
// never carries and so never changes the five digits kept.
struct Digits17 {
  char digits[17];
  int exponent;
};

Digits17 exact_digits(double magnitude) {
  char text[32];
  const char* end = std::to_chars(text, text + sizeof text, magnitude,
                                  std::chars_format::scientific, kExactPrecision)
                        .ptr;
  Digits17 d{};
  d.digits[0] = text[0];
  std::memcpy(d.digits + 1, text + 2, 16);  // skip the point
  const char* exponent = text + 19;         // after "d.dddddddddddddddde"
  std::from_chars(exponent + (*exponent == '+' ? 1 : 0), end, d.exponent);
  return d;
}

void write_exponent(char* at, int exponent) {
  at[0] = exponent < 0 ? '-' : '+';
  const int magnitude = exponent < 0 ? -exponent : exponent;
  at[1] = static_cast<char>('0' + magnitude / 100);
  at[2] = static_cast<char>('0' + magnitude / 10 % 10);
  at[3] = static_cast<char>('0' + magnitude % 10);
}

}  // namespace

void format_number_field(double value, char* field) {
  const bool negative = std::signbit(value) && value != 0.0;  // -0 prints as 0
  if (std::isinf(value)) {
    std::memcpy(field, negative ? "-1.#INFe+000" : " 1.#INFe+000", kNumberFieldWidth);
    return;
  }
  if (value == 0.0 || std::isnan(value)) {  // the tables never hold NaN
    std::memcpy(field, " 0.0000e+000", kNumberFieldWidth);
    return;
  }
  const Digits17 d = exact_digits(std::fabs(value));
  int kept = 0;
  for (int i = 0; i < kShownDigits; ++i)
    kept = kept * 10 + (d.digits[i] - '0');
  int exponent = d.exponent;
  if (d.digits[kShownDigits] >= '5' && ++kept == 100000) {
    kept = 10000;
    ++exponent;
  }
  field[0] = negative ? '-' : ' ';
  field[1] = static_cast<char>('0' + kept / 10000);
  field[2] = '.';
  for (int i = 6, rest = kept; i >= 3; --i, rest /= 10)
    field[i] = static_cast<char>('0' + rest % 10);
  field[7] = 'e';
  write_exponent(field + 8, exponent);
}

}  // namespace corvel
