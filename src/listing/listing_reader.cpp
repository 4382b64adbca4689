#include "listing/listing_reader.hpp"

#include <algorithm>
#include <cstring>

#include "listing/conversions.hpp"
#include "listing/passes.hpp"

namespace corvel {

namespace {

// Length of a line's text: up to its first NUL, when its block has one.
std::size_t text_length(const char* bytes, std::size_t n, bool may_hold_nul) {
  if (!may_hold_nul) return n;
  const void* nul = std::memchr(bytes, '\0', n);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : n;
}

}  // namespace

bool read_line(ExtractionState& state, Line& into) {
  ListingStream& s = state.input_stream;
  std::size_t n = 0;
  bool may_hold_nul = false;
  while (n < kLineChars && has_byte(s)) {
    const char* from = s.buffer + s.pos;
    const std::size_t room = std::min(kLineChars - n, s.end - s.pos);
    const void* lf = std::memchr(from, '\n', room);
    const std::size_t take =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - from) + 1 : room;
    std::memcpy(into.text + n, from, take);
    may_hold_nul |= s.block_has_nul;
    n += take;
    s.pos += take;
    if (lf) break;
  }
  if (n == 0) return false;
  into.text[n] = '\0';
  into.size = static_cast<std::uint8_t>(text_length(into.text, n, may_hold_nul));
  if (state.time_step_ride.active) ride_time_step(state, text_of(into));
  return true;
}

bool read_line_view(ExtractionState& state, Line& spill, std::string_view& text) {
  ListingStream& s = state.input_stream;
  if (s.pos < s.end) {
    const std::size_t left = s.end - s.pos;
    const std::size_t limit = s.pos + std::min(kLineChars, left);
    const std::size_t line_feed = first_of(s.classes, &ByteClasses::line_feed, s.pos, limit);
    if (line_feed < limit || left >= kLineChars) {  // the whole read lies in the buffer
      const std::size_t end = line_feed < limit ? line_feed + 1 : limit;
      const std::size_t text_end =
          s.block_has_nul ? first_of(s.classes, &ByteClasses::nul, s.pos, end) : end;
      text = {s.buffer + s.pos, text_end - s.pos};
      s.pos = end;
      if (state.time_step_ride.active) ride_time_step(state, text);
      return true;
    }
  }
  if (!read_line(state, spill)) return false;
  text = text_of(spill);
  return true;
}

namespace {

bool in_buffer(const ListingStream& s, std::string_view text) {
  return text.data() >= s.buffer && text.data() < s.buffer + s.end;
}

std::size_t offset_in_buffer(const ListingStream& s, std::string_view text) {
  return static_cast<std::size_t>(text.data() - s.buffer);
}

// The classes a text's tests read, and where the text starts in them: the
// block's for a text viewed in it, else the text's own, made into `own`.
const ByteClasses* classes_of(const ListingStream& s, std::string_view text, TextClasses& own,
                              std::size_t& from) {
  if (in_buffer(s, text)) {
    from = offset_in_buffer(s, text);
    return s.classes;
  }
  from = 0;
  classify_bytes(text.data(), text.size(), own.steps);
  return own.steps;
}

}  // namespace

LineFlags line_flags(const ListingStream& s, std::string_view text) {
  TextClasses own;
  std::size_t from = 0;
  const ByteClasses* classes = classes_of(s, text, own, from);
  return {any_of(classes, &ByteClasses::rare, from, from + text.size()),
          holds_exponent_sign(classes, from, text.size())};
}

LineMasks row_masks(const ListingStream& s, std::string_view text) {
  TextClasses own;
  std::size_t from = 0;
  const ByteClasses* classes = classes_of(s, text, own, from);
  return blank_masks(classes, from, text.size());
}

bool next_read_in_buffer(const ListingStream& s) {
  // As read_line_view decides: 199 bytes left, or a line feed among them.
  return s.end - s.pos >= kLineChars || any_of(s.classes, &ByteClasses::line_feed, s.pos, s.end);
}

namespace {

void copy_line(Line& to, const Line& from) {
  std::memcpy(to.text, from.text, from.size + 1U);
  to.size = from.size;
}

}  // namespace

bool advance_window(ExtractionState& state) {
  copy_line(line(state, 0), line(state, 1));
  copy_line(line(state, 1), line(state, 2));
  copy_line(line(state, 2), line(state, 3));
  return read_line(state, line(state, 3));
}

int split_tokens(Token* slots, std::string_view text, const LineMasks& masks, int slot_count) {
  std::size_t starts[kTokenSlots];
  std::size_t ends[kTokenSlots];
  const int tokens = token_bounds(masks, slot_count, starts, ends);
  for (int i = 0; i < tokens; ++i) {
    Token& token = slots[i + 1];
    const std::size_t size = std::min(ends[i] - starts[i], kTokenChars);
    std::memcpy(token.text, text.data() + starts[i], kTokenSize);  // within the copy slack
    token.text[size] = '\0';
    token.size = static_cast<std::uint8_t>(size);
  }
  return tokens;
}

int split_row(ExtractionState& state, std::string_view text, const LineMasks& masks,
              int slot_count) {
  return split_tokens(state.token_slots, text, masks, slot_count);
}

int split_row(ExtractionState& state, std::string_view text, int slot_count) {
  return split_row(state, text, line_masks(text), slot_count);
}

namespace {

// Byte-at-a-time access to the shared buffer for the field read; peeking
// leaves the byte unread, which is the one character put back.
int peek(ListingStream& s) {
  return has_byte(s) ? static_cast<unsigned char>(s.buffer[s.pos]) : -1;
}
void take(ListingStream& s) {
  ++s.pos;
}

bool skip_blanks(ListingStream& s) {
  for (;;) {
    int c = peek(s);
    if (c < 0) return false;
    if (!is_blank(static_cast<char>(c))) return true;
    take(s);
  }
}

bool take_sign(ListingStream& s) {
  int c = peek(s);
  if (c == '+' || c == '-') {
    take(s);
    return c == '-';
  }
  return false;
}

bool read_integer_field(ListingStream& s, std::int32_t& value) {
  const bool negative = take_sign(s);
  if (!is_digit(static_cast<char>(peek(s)))) return false;
  std::uint32_t magnitude = 0;
  for (int c = peek(s); c >= 0 && is_digit(static_cast<char>(c)); c = peek(s)) {
    magnitude = magnitude * 10U + static_cast<std::uint32_t>(c - '0');
    take(s);
  }
  value = static_cast<std::int32_t>(negative ? 0U - magnitude : magnitude);
  return true;
}

bool read_real_field(ListingStream& s, double& value) {
  const bool negative = take_sign(s);
  DecimalDigits mantissa;
  for (int c = peek(s); c >= 0 && is_digit(static_cast<char>(c)); c = peek(s)) {
    mantissa.add_integer_digit(static_cast<char>(c));
    take(s);
  }
  if (peek(s) == '.') {
    take(s);
    for (int c = peek(s); c >= 0 && is_digit(static_cast<char>(c)); c = peek(s)) {
      mantissa.add_fraction_digit(static_cast<char>(c));
      take(s);
    }
  }
  if (!mantissa.any_digit) return false;

  // Only one byte can be put back, so an exponent letter and its sign stay
  // consumed even when no digit follows; the number is then what came before.
  std::int64_t exponent = 0;
  if (int c = peek(s); c == 'E' || c == 'e') {
    take(s);
    const bool exponent_negative = take_sign(s);
    ExponentDigits digits;
    for (c = peek(s); c >= 0 && is_digit(static_cast<char>(c)); c = peek(s)) {
      digits.add(static_cast<char>(c));
      take(s);
    }
    exponent = exponent_negative ? -digits.value : digits.value;
  }
  value = decimal_to_double(negative, mantissa, exponent);
  return true;
}

}  // namespace

int read_fields(ExtractionState& state, const FieldKind* kinds, int count, FieldValue* values) {
  ListingStream& s = state.input_stream;
  for (int i = 0; i < count; ++i) {
    if (!skip_blanks(s)) return i == 0 ? kFieldsEof : i;
    const bool converted = kinds[i] == FieldKind::kInteger
                               ? read_integer_field(s, values[i].integer)
                               : read_real_field(s, values[i].real);
    if (!converted) return i;
  }
  return count;
}

}  // namespace corvel
