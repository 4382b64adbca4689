#pragma once
// The common rules by which every scan and pass reads the listing: the bounded
// line read, the line window, the token slots, the field read of node rows and
// the numeric row test.

#include <cstdint>
#include <string_view>

#include "run/extraction_state.hpp"

namespace corvel {

inline std::string_view text_of(const Line& l) {
  return {l.text, l.size};
}
inline std::string_view text_of(const Token& t) {
  return {t.text, t.size};
}

inline bool contains(const Line& l, std::string_view fragment) {
  return text_of(l).find(fragment) != std::string_view::npos;
}

// The next bytes of the listing up to and including the next line feed, or
// 199 bytes, whichever comes first. False at end of file, with `into`
// untouched.
bool read_line(ExtractionState& state, Line& into);

// L1 into L0, L2 into L1, L3 into L2, then a read into L3. At end of file the
// shift has happened and L3 keeps its text.
bool advance_window(ExtractionState& state);

// Cuts the line's text into blank-separated tokens and puts the first
// slot_count of them into slots 1, 2, ...; slots past the last token keep
// what they held. A token is cut to 19 bytes and the rest of it skipped.
void split_row(ExtractionState& state, const Line& l, int slot_count);

inline bool is_numeric_row(const Line& l) {
  const std::string_view text = text_of(l);
  return text.find("E-") != std::string_view::npos || text.find("E+") != std::string_view::npos;
}

enum class FieldKind : std::uint8_t { kInteger, kReal };

union FieldValue {
  std::int32_t integer;
  double real;
};

inline constexpr int kFieldsEof = -1;

// Reads fields straight from the byte stream, skipping blanks (line ends
// included) before each, until one does not convert. The byte a field stopped
// at stays unread; a sign, point or exponent letter before it stays consumed.
// Returns the number of fields converted, or kFieldsEof when the stream ends
// before the first one.
int read_fields(ExtractionState& state, const FieldKind* kinds, int count, FieldValue* values);

}  // namespace corvel
