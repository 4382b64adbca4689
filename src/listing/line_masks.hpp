#pragma once
// One pass over a line's text that marks, one bit per byte, its blanks (for
// the row split) and its rare capitals M, S and F (the first letter of
// "MAXIMUM" and the rejected capitals). A row of a bar stress table holds
// none of the rare ones, so one look at the mask clears it of both tests; the
// few lines that hold one take the exact searches. Every line of every bar
// stress table goes through this, the hottest work of a run.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "listing/conversions.hpp"
#include "listing/fragments.hpp"
#include "run/limits.hpp"

namespace corvel {

struct LineMasks {
  static constexpr std::size_t kWords = (kLineChars + 63) / 64;
  // Blank bits are also set at and past the text's end, so a token ends
  // there; rare bits are clear there.
  std::uint64_t blank[kWords];
  std::uint64_t rare[kWords];
  std::size_t size;
};

inline bool is_rare(char c) {
  return c == kTableEnd[0] || c == kRejectS || c == kRejectF;
}

// `text` must lie in a Line or the read buffer: 16-byte loads may read into
// their slack; those bytes are masked off.
inline LineMasks line_masks(std::string_view text) {
  LineMasks m{};
  m.size = text.size();
  const char* p = text.data();
#if defined(__SSE2__)
  static_assert(kCopySlack >= 16, "a 16-byte load at the text's last byte stays in the slack");
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i below_tab = _mm_set1_epi8('\t' - 1);
  const __m128i past_return = _mm_set1_epi8('\r' + 1);
  const __m128i end_letter = _mm_set1_epi8(kTableEnd[0]);
  const __m128i reject_s = _mm_set1_epi8(kRejectS);
  const __m128i reject_f = _mm_set1_epi8(kRejectF);
  for (std::size_t at = 0; at < text.size(); at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    // Bytes from 0x80 up compare as negative, so they are never 9 to 13.
    const __m128i blank = _mm_or_si128(
        _mm_cmpeq_epi8(bytes, space),
        _mm_and_si128(_mm_cmpgt_epi8(bytes, below_tab), _mm_cmplt_epi8(bytes, past_return)));
    const __m128i rare = _mm_or_si128(
        _mm_cmpeq_epi8(bytes, end_letter),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, reject_s), _mm_cmpeq_epi8(bytes, reject_f)));
    const auto shift = static_cast<unsigned>(at % 64);
    m.blank[at / 64] |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(blank))}
                        << shift;
    m.rare[at / 64] |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(rare))} << shift;
  }
#else
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (is_blank(p[at])) m.blank[at / 64] |= std::uint64_t{1} << (at % 64);
    if (is_rare(p[at])) m.rare[at / 64] |= std::uint64_t{1} << (at % 64);
  }
#endif
  // Clear what the last load saw past the end; mark the end as blank.
  for (std::size_t w = 0; w < LineMasks::kWords; ++w) {
    const std::size_t first = w * 64;
    const std::uint64_t past = m.size <= first        ? ~std::uint64_t{0}
                               : m.size - first >= 64 ? 0
                                                      : ~std::uint64_t{0} << (m.size - first);
    m.blank[w] |= past;
    m.rare[w] &= ~past;
  }
  return m;
}

inline bool holds_rare(const LineMasks& m) {
  std::uint64_t any = 0;
  for (std::uint64_t w : m.rare)
    any |= w;
  return any != 0;
}

// The first `count` tokens of the text, as [start, end) positions; returns
// how many there are. The edges between blank and non-blank bytes alternate:
// a token's start, its end, the next start, and so on; the end of the text
// counts as blank, so every token has its end.
inline int token_bounds(const LineMasks& m, int count, std::size_t* starts, std::size_t* ends) {
  int found = 0;
  bool at_start = true;
  std::uint64_t carry = 1;  // before position 0 counts as blank
  for (std::size_t w = 0; w < LineMasks::kWords; ++w) {
    const std::uint64_t blank = m.blank[w];
    std::uint64_t edges = blank ^ ((blank << 1) | carry);
    carry = blank >> 63;
    for (; edges != 0; edges &= edges - 1) {
      const std::size_t at = w * 64 + static_cast<std::size_t>(std::countr_zero(edges));
      if (at_start) {
        starts[found] = at;
      } else {
        ends[found] = at;
        if (++found == count) return found;
      }
      at_start = !at_start;
    }
  }
  return found;
}

}  // namespace corvel
