#include "listing/conversions.hpp"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <string>

namespace corvel {
namespace {

struct IntegerCase {
  const char* text;
  std::int32_t expected;
};

TEST(IntegerConversion, SignsDigitsAndWrapAround) {
  const IntegerCase cases[] = {
      {"11", 11},
      {"-7", -7},
      {"+42", 42},
      {"  \t15", 15},
      {"12abc", 12},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"+-3", 0},
      {"2147483647", 2147483647},
      {"2147483648", -2147483647 - 1},  // wraps modulo 2^32
      {"4294967297", 1},
      {"-4294967295", 1},
      {"99999999999999999999", static_cast<std::int32_t>(1661992959)},
      {"1.5E+02", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(to_integer(c.text), c.expected) << c.text;
}

struct RealCase {
  const char* text;
  double expected;
};

TEST(RealConversion, DecimalForms) {
  const RealCase cases[] = {
      {"1.5", 1.5},
      {"-2.25", -2.25},
      {"+.5", 0.5},
      {"5.", 5.0},
      {"  3", 3.0},
      {"1.5D+02", 150.0},
      {"1.5d2", 150.0},
      {"2.5e-1", 0.25},
      {"1.0E+01", 10.0},
      {"1.234-105", 1.234},  // a sign after the digits ends the number
      {"1e", 1.0},           // an exponent letter without digits is ignored
      {"1E+", 1.0},
      {"2.5ex", 2.5},
      {"7.0,5", 7.0},  // only "." is a decimal point
      {"1,5", 1.0},
      {"abc", 0.0},
      {"-.", 0.0},
      {"+", 0.0},
      {".", 0.0},
      {"", 0.0},
      {"0x1p3", 0.0},  // no hexadecimal form
      {"1.00105", 1.00105},
      {"0.1", 0.1},
      {"123456789012345678901234", 123456789012345678901234.0},
      {"1.0E-320", 1.0E-320},  // subnormal, kept
      {"4.9406564584124654E-324", 4.9406564584124654E-324},
      {"1.7976931348623157E+308", 1.7976931348623157E+308},
  };
  for (const auto& c : cases)
    EXPECT_EQ(to_real(c.text), c.expected) << c.text;
}

TEST(RealConversion, NoSyntaxForInfinityOrNan) {
  for (const char* text : {"inf", "-inf", "INF", "nan", "NaN", "infinity"}) {
    const double value = to_real(text);
    EXPECT_EQ(value, 0.0) << text;
    EXPECT_FALSE(std::signbit(value)) << text;
  }
}

TEST(RealConversion, OverflowAndUnderflowKeepTheSign) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(to_real("1E+400"), kInf);
  EXPECT_EQ(to_real("-1E+400"), -kInf);
  EXPECT_EQ(to_real("1.8E308"), kInf);
  EXPECT_EQ(to_real("1E+99999999999999999999"), kInf);  // exponent digits saturate
  for (const char* text : {"1E-400", "2E-324", "1E-99999999999999999999", "-0", "-0.0E+00"}) {
    const double value = to_real(text);
    EXPECT_EQ(value, 0.0) << text;
    EXPECT_EQ(std::signbit(value), text[0] == '-') << text;
  }
  EXPECT_TRUE(std::signbit(to_real("-1E-400")));
}

TEST(RealConversion, OnlyTwentyFourSignificantDigitsCount) {
  // Digit 25 on only scales: these agree with the 24-digit prefix times ten.
  const std::string twenty_four = "123456789012345678901234";
  EXPECT_EQ(to_real(twenty_four + "9"), to_real(twenty_four + "0"));
  EXPECT_EQ(to_real(twenty_four + "999"), to_real(twenty_four + "000"));
  // Leading zeros are not significant, before or after the point.
  EXPECT_EQ(to_real("0000.000" + twenty_four + "9"), to_real("0.000" + twenty_four));
  // A 25th digit would round this 24-digit value up: only truncation may apply.
  EXPECT_EQ(to_real("1.000000000000000000000005"), 1.0);
  // 400 digits: the value is 10^399 scaled from 24 kept digits.
  EXPECT_EQ(to_real(std::string(400, '1')), to_real(std::string(24, '1') + "E376"));
  EXPECT_EQ(to_real("0." + std::string(400, '0') + "1E+401"), 1.0);
}

TEST(SingleRounding, NearestFloatOrSignedInfinity) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(to_single(0.1), 0.1F);
  EXPECT_EQ(to_single(-123.45), -123.45F);
  EXPECT_EQ(to_single(3.4028234663852886e38), 3.4028234663852886e38F);  // FLT_MAX
  EXPECT_EQ(to_single(3.40282356e38), 3.4028234663852886e38F);          // below the halfway
  EXPECT_EQ(to_single(0x1.ffffffp127), kInf);                           // halfway goes up
  EXPECT_EQ(to_single(1e39), kInf);
  EXPECT_EQ(to_single(-1e300), -kInf);
  EXPECT_EQ(to_single(std::numeric_limits<double>::infinity()), kInf);
  EXPECT_EQ(to_single(1e-50), 0.0F);
}

}  // namespace
}  // namespace corvel
