#pragma once
// The common rules by which every scan and pass reads the listing: the bounded
// line read, the line window, the token slots, the field read of node rows and
// the numeric row test.

#include <cstdint>
#include <cstring>
#include <string_view>

#include "listing/byte_classes.hpp"
#include "listing/fragments.hpp"
#include "run/extraction_state.hpp"

namespace corvel {

inline std::string_view text_of(const Line& l) {
  return {l.text, l.size};
}
inline std::string_view text_of(const Token& t) {
  return {t.text, t.size};
}

// A fragment anywhere in a line's text. Most lines lack the fragment's first
// byte altogether, which one memchr tells.
inline bool contains(std::string_view text, std::string_view fragment) {
  if (fragment.size() > text.size()) return false;
  const char* p = text.data();
  const char* const last = p + (text.size() - fragment.size());
  while (p <= last) {
    p = static_cast<const char*>(
        std::memchr(p, fragment[0], static_cast<std::size_t>(last - p) + 1));
    if (p == nullptr) return false;
    if (std::memcmp(p + 1, fragment.data() + 1, fragment.size() - 1) == 0) return true;
    ++p;
  }
  return false;
}
inline bool contains(const Line& l, std::string_view fragment) {
  return contains(text_of(l), fragment);
}

// The next bytes of the listing up to and including the next line feed, or
// 199 bytes, whichever comes first. False at end of file, with `into`
// untouched.
bool read_line(ExtractionState& state, Line& into);

// The same read without the copy: `text` views the read buffer when the
// whole read lies in it, else it is read into `spill` and views that. A view
// into the buffer lasts until the next read that refills it.
bool read_line_view(ExtractionState& state, Line& spill, std::string_view& text);

// What the row tests ask of a line's text: a rare capital (M, S or F), and
// "E-" or "E+". A text viewed in the read buffer is answered from the block's
// classes; any other is classified first.
struct LineFlags {
  bool rare;
  bool numeric;
};
LineFlags line_flags(const ListingStream& s, std::string_view text);

// The blank masks of a line's text for the row split, likewise.
LineMasks row_masks(const ListingStream& s, std::string_view text);

// True when the next read can be served from the buffer without refilling
// it, so that a view taken before stays valid.
bool next_read_in_buffer(const ListingStream& s);

// L1 into L0, L2 into L1, L3 into L2, then a read into L3. At end of file the
// shift has happened and L3 keeps its text.
bool advance_window(ExtractionState& state);

// Cuts the line's text into blank-separated tokens and puts the first
// slot_count of them into slots 1, 2, ...; slots past the last token keep
// what they held. A token is cut to 19 bytes and the rest of it skipped.
// `text` must lie in a Line or in the read buffer: each token is copied with
// one fixed-size copy that may read into their slack.
// Returns the number of tokens it put into slots.
int split_row(ExtractionState& state, std::string_view text, int slot_count);
// The same with the line's masks already made.
int split_row(ExtractionState& state, std::string_view text, const LineMasks& masks,
              int slot_count);
inline int split_row(ExtractionState& state, const Line& l, int slot_count) {
  return split_row(state, text_of(l), slot_count);
}
// The same into another set of slots (index n for slot n).
int split_tokens(Token* slots, std::string_view text, const LineMasks& masks, int slot_count);

// Contains "E-" or "E+": one pass over the line's capital Es for both.
inline bool is_numeric_row(std::string_view text) {
  static_assert(kExponentMinus[0] == kExponentPlus[0]);
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    p = static_cast<const char*>(
        std::memchr(p, kExponentMinus[0], static_cast<std::size_t>(end - p)));
    if (p == nullptr || ++p == end) return false;
    if (*p == kExponentMinus[1] || *p == kExponentPlus[1]) return true;
  }
  return false;
}
inline bool is_numeric_row(const Line& l) {
  return is_numeric_row(text_of(l));
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
