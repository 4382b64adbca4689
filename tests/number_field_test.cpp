#include "output/number_field.hpp"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <string>

namespace corvel {
namespace {

std::string field(double value) {
  char text[kNumberFieldWidth];
  format_number_field(value, text);
  return {text, kNumberFieldWidth};
}

struct FieldCase {
  double value;
  const char* expected;
};

TEST(NumberField, ExactDecimalRoundedTwiceHalfUp) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const FieldCase cases[] = {
      // A correctly rounding formatter writes 1.0010e+00 here: the double lies
      // just below 1.00105, but its 17 digits end in a 5.
      {1.00105, " 1.0011e+000"},
      {0.00390625, " 3.9063e-003"},  // exactly halfway: away from zero
      {9.99995, " 1.0000e+001"},     // the carry raises the exponent
      {0.001, " 1.0000e-003"},
      {-123.45, "-1.2345e+002"},
      {0.0, " 0.0000e+000"},
      {-0.0, " 0.0000e+000"},
      {kInf, " 1.#INFe+000"},
      {-kInf, "-1.#INFe+000"},
      {1.0, " 1.0000e+000"},
      {-250.0, "-2.5000e+002"},
      {1e100, " 1.0000e+100"},
      {1.7976931348623157e308, " 1.7977e+308"},
      {9.99995e307, " 1.0000e+308"},
      {-9.99995e307, "-1.0000e+308"},
      {4.9406564584124654e-324, " 4.9407e-324"},  // smallest subnormal
      {2.2250738585072014e-308, " 2.2251e-308"},
      {1.23445, " 1.2345e+000"},  // double just below: 17 digits 1.2344499999999999
      {1.2344499999, " 1.2344e+000"},
      {1.23455, " 1.2346e+000"},
      {99999.5, " 1.0000e+005"},
      {99999.49999999999, " 9.9999e+004"},
      // 17 digits of 1.000049999999999999 are 1.0000500000000000: half up.
      {1.0000499999999999, " 1.0000e+000"},
      {1.00005, " 1.0001e+000"},
      {static_cast<double>(0.1F), " 1.0000e-001"},
      {static_cast<double>(-123.45F), "-1.2345e+002"},
      {static_cast<double>(1.00105F), " 1.0010e+000"},  // the float lies below 1.001045
      {static_cast<double>(3.4028235e38F), " 3.4028e+038"},
      {static_cast<double>(1e-45F), " 1.4013e-045"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(field(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace corvel

namespace corvel {
namespace {

// The integer fast path against the to_chars path, over values spread across
// every binade both paths meet, floats widened included.
TEST(NumberField, IntegerPathAgreesWithToChars) {
  std::uint64_t seed = 0x9e3779b97f4a7c15ULL;
  auto next = [&seed] {
    seed ^= seed << 13;
    seed ^= seed >> 7;
    seed ^= seed << 17;
    return seed;
  };
  int fast = 0;
  for (int i = 0; i < 400000; ++i) {
    double value = 0;
    if (i % 2 == 0) {
      value = std::ldexp(static_cast<double>(next() >> 11), static_cast<int>(next() % 160) - 130);
    } else {
      const float f = static_cast<float>(std::ldexp(static_cast<double>(next() % (1U << 24)),
                                                    static_cast<int>(next() % 120) - 80));
      value = static_cast<double>(f);
    }
    if (value == 0.0) continue;
    Shown by_integers{};
    if (!shown_by_integers(value, by_integers)) continue;
    ++fast;
    ASSERT_EQ(by_integers, shown_by_to_chars(value)) << std::hexfloat << value;
  }
  EXPECT_GT(fast, 100000);  // the fast path is really exercised
}

}  // namespace
}  // namespace corvel
