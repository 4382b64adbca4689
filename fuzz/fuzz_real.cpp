// The real and integer conversions on any bytes. Where the C library reads
// the same text the same way (a short plain decimal with an E exponent), the
// results must agree exactly.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "listing/conversions.hpp"

namespace {

bool plain_decimal(std::string_view text) {
  if (text.empty() || text.size() > 24) return false;  // at most 24 digits: no truncation
  for (char c : text) {
    if (!std::strchr("0123456789.eE+-", c) || c == '\0') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double value = corvel::to_real(text);
  (void)corvel::to_integer(text);
  (void)corvel::to_single(value);
  if (std::isnan(value)) std::abort();  // there is no syntax that yields NaN

  if (plain_decimal(text)) {
    const std::string copy(text);
    char* end = nullptr;
    const double expected = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str()) {
      if (value != 0.0 || std::signbit(value)) std::abort();
    } else if (!(value == expected && std::signbit(value) == std::signbit(expected))) {
      std::abort();
    }
  }
  return 0;
}
