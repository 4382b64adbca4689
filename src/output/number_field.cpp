#include "output/number_field.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace corvel {

namespace {

constexpr int kShownDigits = 5;

}  // namespace

// Exact for every double: to_chars gives 17 significant digits rounded to
// nearest on the 18th. That differs from half-up only on an exact tie with an
// even 17th digit, which never carries and so never changes the five digits
// kept.
Shown shown_by_to_chars(double magnitude) {
  constexpr int kPrecision = 16;  // digits after the point: 17 significant
  char text[32];
  const char* end =
      std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, kPrecision)
          .ptr;
  // text is "d.dddddddddddddddde[+-]xx[x]"
  int kept = text[0] - '0';
  for (int i = 2; i < 2 + kShownDigits - 1; ++i)
    kept = kept * 10 + (text[i] - '0');
  const char* exponent_text = text + 19;
  int exponent = 0;
  std::from_chars(exponent_text + (*exponent_text == '+' ? 1 : 0), end, exponent);
  if (text[2 + kShownDigits - 1] >= '5' && ++kept == 100000) {
    kept = 10000;
    ++exponent;
  }
  return {kept, exponent};
}

namespace {

// --- Fast path in integers: X = floor(v * 10^k) with exactly 18 digits, then
// half up on the 18th and on the 6th, as the rule says. It applies where a
// 128-bit product holds v's mantissa times 10^k, about 1e-5 to 1e18 for
// doubles and 1e-14 to 1e18 for widened floats: where stresses and times lie.
__extension__ typedef unsigned __int128 Wide;  // a GCC and Clang extension

constexpr int kMaxPower = 38;        // 10^38 < 2^128
constexpr int kMaxNarrowPower = 19;  // 10^19 < 2^64: one 64 x 64 bit multiply

int bit_width(std::uint64_t w) {
  return static_cast<int>(std::bit_width(w));
}

constexpr int wide_bit_width(Wide w) {
  int bits = 0;
  for (; w != 0; w >>= 1)
    ++bits;
  return bits;
}

struct Power {
  Wide value;
  int bits;
};

constexpr std::array<Power, kMaxPower + 1> kPowers = [] {
  std::array<Power, kMaxPower + 1> p{};
  Wide value = 1;
  for (std::size_t i = 0; i <= kMaxPower; ++i, value *= 10)
    p[i] = {value, wide_bit_width(value)};
  return p;
}();

constexpr std::uint64_t k10To17 = 100000000000000000ULL;
constexpr std::uint64_t k10To18 = 10 * k10To17;
constexpr std::uint64_t k10To12 = 1000000000000ULL;

enum class Scaled { kFits, kTooBig, kUnsupported };

// floor(mantissa * 2^binary_exponent * 10^k) into x, when it can be had exactly.
Scaled floor_scaled(std::uint64_t mantissa, int binary_exponent, int k, std::uint64_t& x) {
  if (k < 0 || k > kMaxPower) return Scaled::kUnsupported;
  const Power& power = kPowers[static_cast<std::size_t>(k)];
  const int bits = bit_width(mantissa) + power.bits;
  if (bits > 127 || (binary_exponent > 0 && bits + binary_exponent > 127)) {
    return Scaled::kUnsupported;
  }
  Wide product = k <= kMaxNarrowPower
                     ? static_cast<Wide>(mantissa) * static_cast<std::uint64_t>(power.value)
                     : static_cast<Wide>(mantissa) * power.value;
  if (binary_exponent >= 0) {
    product <<= static_cast<unsigned>(binary_exponent);
  } else {
    product = -binary_exponent >= 128 ? 0 : product >> static_cast<unsigned>(-binary_exponent);
  }
  if (product >= k10To18) return Scaled::kTooBig;
  x = static_cast<std::uint64_t>(product);
  return Scaled::kFits;
}

}  // namespace

bool shown_by_integers(double magnitude, Shown& shown) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  constexpr std::uint64_t kFraction = (std::uint64_t{1} << 52) - 1;
  const int biased = static_cast<int>(bits >> 52);
  std::uint64_t mantissa = bits & kFraction;
  int binary_exponent = -1074;  // subnormal
  if (biased != 0) {
    mantissa |= kFraction + 1;
    binary_exponent = biased - 1075;
  }
  const int zeros = std::countr_zero(mantissa);  // fewer bits reach further
  mantissa >>= static_cast<unsigned>(zeros);
  binary_exponent += zeros;

  // floor(log10 v) is this estimate (78913 / 2^18 is just below log10 2) or
  // one off it; the loop below corrects it.
  const int top_bit = binary_exponent + bit_width(mantissa) - 1;
  int exponent = (top_bit * 78913) >> 18;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::uint64_t x = 0;
    switch (floor_scaled(mantissa, binary_exponent, 17 - exponent, x)) {
      case Scaled::kUnsupported:
        return false;
      case Scaled::kTooBig:
        ++exponent;
        continue;
      case Scaled::kFits:
        break;
    }
    if (x < k10To17) {
      --exponent;
      continue;
    }
    const std::uint64_t digits17 = (x + 5) / 10;
    std::uint64_t kept = (digits17 + k10To12 / 2) / k10To12;
    int shown_exponent = exponent;
    if (kept >= 100000) {  // the carry adds a digit
      kept /= 10;
      ++shown_exponent;
    }
    shown = {static_cast<int>(kept), shown_exponent};
    return true;
  }
  return false;
}

namespace {

// "00" to "99", so that two digits are one copy.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

void write_pair(char* at, int value) {
  std::memcpy(at, kDigitPairs.data() + 2 * static_cast<std::size_t>(value), 2);
}

void write_exponent(char* at, int exponent) {
  at[0] = exponent < 0 ? '-' : '+';
  const int magnitude = exponent < 0 ? -exponent : exponent;
  at[1] = static_cast<char>('0' + magnitude / 100);
  write_pair(at + 2, magnitude % 100);
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
  const double magnitude = std::fabs(value);
  Shown shown{};
  if (!shown_by_integers(magnitude, shown)) shown = shown_by_to_chars(magnitude);
  field[0] = negative ? '-' : ' ';
  field[1] = static_cast<char>('0' + shown.digits / 10000);
  field[2] = '.';
  const int fraction = shown.digits % 10000;
  write_pair(field + 3, fraction / 100);
  write_pair(field + 5, fraction % 100);
  field[7] = 'e';
  write_exponent(field + 8, shown.exponent);
}

}  // namespace corvel
