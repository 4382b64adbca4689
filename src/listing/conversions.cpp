#include "listing/conversions.hpp"

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

namespace corvel {

namespace {

// Leading-digit decimal exponents beyond these are infinite or zero for every
// mantissa, so from_chars never sees an exponent it could not hold.
constexpr std::int64_t kLargestDecade = 310;
constexpr std::int64_t kSmallestDecade = -330;

double signed_value(bool negative, double magnitude) {
  return negative ? -magnitude : magnitude;
}

// Up to 15 digits are exact in a double, and so is every power of ten up to
// 10^22: one multiplication or division then rounds correctly, which is what
// from_chars would give, at a fraction of the cost. Listing numbers such as
// "-1.2345E+02" all take this path.
constexpr int kExactDigits = 15;
constexpr std::int64_t kExactPowers = 22;
constexpr double kPowersOfTen[kExactPowers + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool exact_fast_path(const DecimalDigits& mantissa, std::int64_t scale, double& magnitude) {
  if (mantissa.count > kExactDigits || scale > kExactPowers || scale < -kExactPowers) return false;
  const auto value = static_cast<double>(mantissa.leading);
  magnitude = scale >= 0 ? value * kPowersOfTen[scale] : value / kPowersOfTen[-scale];
  return true;
}

}  // namespace

double decimal_to_double(bool negative, const DecimalDigits& mantissa, std::int64_t exponent) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  if (mantissa.count == 0) return signed_value(negative, 0.0);
  const std::int64_t scale = mantissa.exponent + exponent;
  const std::int64_t decade = scale + mantissa.count - 1;
  if (decade > kLargestDecade) return signed_value(negative, kInfinity);
  if (decade < kSmallestDecade) return signed_value(negative, 0.0);
  if (double fast = 0.0; exact_fast_path(mantissa, scale, fast))
    return signed_value(negative, fast);

  char text[kSignificantDigits + 8];
  char* p = text;
  for (int i = 0; i < mantissa.count; ++i)
    *p++ = mantissa.digits[i];
  *p++ = 'e';
  p = std::to_chars(p, text + sizeof text, scale).ptr;

  double magnitude = 0.0;
  const auto result = std::from_chars(text, p, magnitude);
  if (result.ec == std::errc::result_out_of_range) {
    magnitude = decade > 0 ? kInfinity : 0.0;
  }
  return signed_value(negative, magnitude);
}

std::int32_t to_integer(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && is_blank(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && is_digit(text[i]); ++i) {
    value = value * 10U + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (negative) value = 0U - value;
  return static_cast<std::int32_t>(value);
}

namespace {

// The shapes a listing prints ("-1.2345E+02", "0.0", "12"): at most 15
// digits in all (leading zeros too, which keeps the loop to one test a digit)
// and an exponent of at most four digits, read in one pass into an integer
// and converted exactly by one multiplication or division. False for
// anything else, which the general reading handles.
std::uint32_t digit_at(const char* p) {
  return static_cast<std::uint32_t>(*p - '0');
}

// Signs are taken without branching on them: in a column of stresses they
// follow no pattern a branch predictor could learn.
bool sign_at(const char* p, const char* end, bool& negative) {
  const char c = p < end ? *p : '\0';
  negative = c == '-';
  return negative || c == '+';
}

double with_sign(double magnitude, bool negative) {
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude) |
                               static_cast<std::uint64_t>(negative) << 63);
}

bool to_real_fast(std::string_view text, double& value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  bool negative = false;
  p += sign_at(p, end, negative);
  std::uint64_t digits = 0;
  int count = 0;
  for (; p < end && digit_at(p) <= 9; ++p, ++count)
    digits = digits * 10 + digit_at(p);
  int fraction_digits = 0;
  if (p < end && *p == '.') {
    for (++p; p < end && digit_at(p) <= 9; ++p, ++fraction_digits) {
      digits = digits * 10 + digit_at(p);
    }
  }
  count += fraction_digits;
  if (count == 0 || count > kExactDigits) return false;
  int scale = -fraction_digits;
  if (p < end && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
    const char* q = p + 1;
    bool exponent_negative = false;
    q += sign_at(q, end, exponent_negative);
    int exponent = 0;
    for (int length = 0; q < end && digit_at(q) <= 9; ++q) {
      if (++length > 4) return false;
      exponent = exponent * 10 + static_cast<int>(digit_at(q));
    }
    scale += exponent_negative ? -exponent : exponent;
  }
  if (scale > kExactPowers || scale < -kExactPowers) return false;
  // Both results are made and one is kept, again to spare the predictor.
  const auto magnitude = static_cast<double>(digits);
  const double power = kPowersOfTen[scale < 0 ? -scale : scale];
  const auto product = std::bit_cast<std::uint64_t>(magnitude * power);
  const auto quotient = std::bit_cast<std::uint64_t>(magnitude / power);
  value = with_sign(std::bit_cast<double>(scale < 0 ? quotient : product), negative);
  return true;
}

}  // namespace

double to_real(std::string_view text) {
  if (double fast = 0.0; !text.empty() && !is_blank(text[0]) && to_real_fast(text, fast)) {
    return fast;
  }
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && is_blank(text[i]))
    ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  DecimalDigits mantissa;
  for (; i < n && is_digit(text[i]); ++i)
    mantissa.add_integer_digit(text[i]);
  if (i < n && text[i] == '.') {
    for (++i; i < n && is_digit(text[i]); ++i)
      mantissa.add_fraction_digit(text[i]);
  }
  if (!mantissa.any_digit) return 0.0;

  // An exponent counts only when a digit follows its letter and sign.
  std::int64_t exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    bool exponent_negative = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) exponent_negative = text[j++] == '-';
    if (j < n && is_digit(text[j])) {
      ExponentDigits digits;
      for (; j < n && is_digit(text[j]); ++j)
        digits.add(text[j]);
      exponent = exponent_negative ? -digits.value : digits.value;
    }
  }
  return decimal_to_double(negative, mantissa, exponent);
}

float to_single(double value) {
  // Halfway between FLT_MAX and the next power of two: from here on a float
  // rounds to infinity.
  constexpr double kOverflow = 0x1.ffffffp127;
  if (std::isfinite(value) && std::fabs(value) >= kOverflow) {
    return std::signbit(value) ? -std::numeric_limits<float>::infinity()
                               : std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(value);
}

}  // namespace corvel
