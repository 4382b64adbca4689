// The 12-column number field for any double or float: always 12 bytes, the
// sign column agrees with the value, and the text reads back within half a
// unit of its fifth digit; the integer path agrees with the to_chars one.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "output/number_field.hpp"

namespace {

void check(double value) {
  char field[corvel::kNumberFieldWidth + 1] = {};
  corvel::format_number_field(value, field);
  if (std::strlen(field) != corvel::kNumberFieldWidth) std::abort();
  const bool negative = value < 0.0;
  if ((field[0] == '-') != negative || (!negative && field[0] != ' ')) std::abort();
  if (std::isinf(value)) {
    if (std::strcmp(field + 1, "1.#INFe+000") != 0) std::abort();
    return;
  }
  // The integer fast path, where it applies, must agree with to_chars.
  if (corvel::Shown fast{}; value != 0.0 && corvel::shown_by_integers(std::fabs(value), fast) &&
                            !(fast == corvel::shown_by_to_chars(std::fabs(value)))) {
    std::abort();
  }
  if (field[2] != '.' || field[7] != 'e' || (field[8] != '+' && field[8] != '-')) std::abort();
  // Read back in long double: 1.7977e+308 is beyond the double range.
  const long double back = std::strtold(field, nullptr);
  const int exponent = std::atoi(field + 8);
  // Two roundings: half a unit of the fifth digit plus half of the 17th.
  const long double unit = std::pow(10.0L, exponent - 4);
  if (std::fabs(back - static_cast<long double>(value)) > 0.5L * unit * (1.0L + 1e-11L)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    if (!std::isnan(value)) check(value);
  }
  if (size >= sizeof(float)) {
    float value;
    std::memcpy(&value, data, sizeof value);
    if (!std::isnan(value)) check(static_cast<double>(value));
  }
  return 0;
}
