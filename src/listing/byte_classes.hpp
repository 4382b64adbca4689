#pragma once
// The classes of the listing's bytes that the reads and the row tests ask
// about, one bit per byte: line feeds (where a read ends), NULs (where its
// text ends), blanks (the row split), the rare capitals M, S and F (the first
// letter of "MAXIMUM" and the rejected capitals) and the starts of "E-" and
// "E+" (the numeric row test). Each block the stream reads is classified once,
// 64 bytes a step with the widest vectors the processor has; every line in it
// then finds its end and answers its tests with a few bit operations, and a
// row of a bar stress table, which holds none of the rare capitals, is cleared
// of the end and rejection searches by one look. A line copied out of the
// block (one that spans two blocks) is classified on its own.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "run/limits.hpp"

namespace corvel {

// Bit i of each word is byte i of a 64-byte step.
struct ByteClasses {
  std::uint64_t line_feed;
  std::uint64_t nul;
  std::uint64_t blank;
  std::uint64_t rare;
  std::uint64_t numeric;  // the byte is 'E' and the next one '-' or '+'
};

using ByteClass = std::uint64_t ByteClasses::*;

// Steps needed for n bytes.
constexpr std::size_t class_steps(std::size_t n) {
  return (n + 63) / 64;
}

// Classes of the n bytes from p into class_steps(n) entries of `out`; true
// when one of them is a NUL. Loads read whole steps and one byte more, so up
// to 64 bytes past the data must be readable (see kCopySlack); bits for what
// they see there are set, and every query below stops at the data it is given.
bool classify_bytes(const char* p, std::size_t n, ByteClasses* out);

// The instruction sets a classification can use, from none to the widest.
// Every one gives the same bits; tests compare them.
enum class ScanLevel { kPortable, kSse2, kAvx2, kAvx512 };
bool scan_level_available(ScanLevel level);
bool classify_bytes_with(ScanLevel level, const char* p, std::size_t n, ByteClasses* out);

// Position of the first byte of a class in [from, to), or `to`.
inline std::size_t first_of(const ByteClasses* c, ByteClass kind, std::size_t from,
                            std::size_t to) {
  for (std::size_t at = from; at < to;) {
    const std::size_t word = at / 64;
    const std::uint64_t bits = (c[word].*kind) >> (at % 64);
    if (bits != 0) {
      const std::size_t hit = at + static_cast<std::size_t>(std::countr_zero(bits));
      return hit < to ? hit : to;
    }
    at = (word + 1) * 64;
  }
  return to;
}

inline bool any_of(const ByteClasses* c, ByteClass kind, std::size_t from, std::size_t to) {
  return first_of(c, kind, from, to) < to;
}

// A line's text holds "E-" or "E+": an 'E' whose next byte is in the text.
inline bool holds_exponent_sign(const ByteClasses* c, std::size_t from, std::size_t size) {
  return size >= 2 && any_of(c, &ByteClasses::numeric, from, from + size - 1);
}

// The blanks of a line's text, from bit 0 on; for the row split.
struct LineMasks {
  static constexpr std::size_t kWords = class_steps(kLineChars);
  // Set also at and past the text's end, so a token ends there.
  std::uint64_t blank[kWords];
  std::size_t size;
};

// The blank masks of the text of `size` bytes at `from`.
inline LineMasks blank_masks(const ByteClasses* c, std::size_t from, std::size_t size) {
  LineMasks m;
  m.size = size;
  const std::size_t first = from / 64;
  const auto shift = static_cast<unsigned>(from % 64);
  for (std::size_t w = 0; w < LineMasks::kWords; ++w) {
    const std::size_t done = w * 64;
    if (done >= size) {
      m.blank[w] = ~std::uint64_t{0};
      continue;
    }
    std::uint64_t bits = c[first + w].blank >> shift;
    if (shift != 0 && size - done > 64 - shift) bits |= c[first + w + 1].blank << (64 - shift);
    if (size - done < 64) bits |= ~std::uint64_t{0} << (size - done);
    m.blank[w] = bits;
  }
  return m;
}

// The classes of a text copied out of the read buffer: a line or less.
struct TextClasses {
  ByteClasses steps[class_steps(kLineChars)];
};

// The masks of any text that lies in a Line or in the read buffer.
inline LineMasks line_masks(std::string_view text) {
  TextClasses c;
  classify_bytes(text.data(), text.size(), c.steps);
  return blank_masks(c.steps, 0, text.size());
}

// The first `count` tokens of the text, as [start, end) positions; returns
// how many there are. A token starts at a non-blank byte after a blank one
// and ends at a blank byte after a non-blank one; the end of the text counts
// as blank, so every token has its end, and starts and ends pair in order.
inline int token_bounds(const LineMasks& m, int count, std::size_t* starts, std::size_t* ends) {
  int started = 0;
  int ended = 0;
  std::uint64_t carry = 1;  // before position 0 counts as blank
  for (std::size_t w = 0; w < LineMasks::kWords && ended < count; ++w) {
    const std::uint64_t blank = m.blank[w];
    const std::uint64_t before = (blank << 1) | carry;
    carry = blank >> 63;
    const std::size_t base = w * 64;
    for (std::uint64_t bits = ~blank & before; bits != 0 && started < count; bits &= bits - 1) {
      starts[started++] = base + static_cast<std::size_t>(std::countr_zero(bits));
    }
    for (std::uint64_t bits = blank & ~before; bits != 0 && ended < count; bits &= bits - 1) {
      ends[ended++] = base + static_cast<std::size_t>(std::countr_zero(bits));
    }
  }
  return ended;
}

}  // namespace corvel
