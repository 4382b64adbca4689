#pragma once
// Text to number, with the listing's own rules rather than the C library's:
// "D" exponents, no inf/nan/hex syntax, "." only, at most 24 significant
// digits, wrap-around integers. Locale never matters.

#include <array>
#include <cstdint>
#include <string_view>

namespace corvel {

inline constexpr int kSignificantDigits = 24;

// Space, tab, line feed, vertical tab, form feed and carriage return, whatever
// the locale; a table because the row split asks for every byte of a row.
inline constexpr std::array<bool, 256> kBlankBytes = [] {
  std::array<bool, 256> blank{};
  for (char c : {' ', '\t', '\n', '\v', '\f', '\r'})
    blank[static_cast<unsigned char>(c)] = true;
  return blank;
}();

inline constexpr bool is_blank(char c) {
  return kBlankBytes[static_cast<unsigned char>(c)];
}
inline constexpr bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Gathers the digits of a decimal number one at a time: the first 24
// significant digits are kept, later ones only move the decimal exponent.
struct DecimalDigits {
  char digits[kSignificantDigits];
  int count = 0;
  std::int64_t exponent = 0;  // value = digits * 10^exponent
  std::uint64_t leading = 0;  // the kept digits as an integer while they are few
  bool any_digit = false;

  void add_integer_digit(char c) {
    any_digit = true;
    if (count == 0 && c == '0') return;  // leading zeros are not significant
    if (count < kSignificantDigits) {
      keep(c);
    } else {
      ++exponent;
    }
  }
  void add_fraction_digit(char c) {
    any_digit = true;
    if (count == 0 && c == '0') {
      --exponent;
      return;
    }
    if (count < kSignificantDigits) {
      keep(c);
      --exponent;
    }
  }

 private:
  void keep(char c) {
    digits[count++] = c;
    leading =
        leading * 10 + static_cast<std::uint64_t>(c - '0');  // wraps past 19 digits, unused then
  }
};

// Exponent digits saturate here; far beyond any double's range either way.
inline constexpr std::int64_t kExponentCap = 100000000;

struct ExponentDigits {
  std::int64_t value = 0;
  void add(char c) {
    if (value < kExponentCap) value = value * 10 + (c - '0');
  }
};

// The nearest double; beyond the range an infinity, below it a zero, each with
// the number's sign.
double decimal_to_double(bool negative, const DecimalDigits& mantissa, std::int64_t exponent);

// Integer conversion of a token: blanks, optional sign, digits up to the first
// other character, modulo 2^32. No leading digits gives 0.
std::int32_t to_integer(std::string_view text);

// Real conversion of a token: the longest prefix that reads as a decimal
// number with an optional E, e, D or d exponent; 0.0 when there is none.
double to_real(std::string_view text);

// A stress is stored in single precision: the nearest float, or an infinity of
// the value's sign beyond the float range (the cast alone is undefined there).
float to_single(double value);

}  // namespace corvel
