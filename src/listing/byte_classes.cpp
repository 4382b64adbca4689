#include "listing/byte_classes.hpp"

#include <atomic>

#include "listing/conversions.hpp"
#include "listing/fragments.hpp"

#if defined(__x86_64__)
#include <immintrin.h>
#define CORVEL_X86 1
#endif

namespace corvel {

namespace {

constexpr char kExponent = kExponentMinus[0];
static_assert(kExponentPlus[0] == kExponent);
constexpr char kMinus = kExponentMinus[1];
constexpr char kPlus = kExponentPlus[1];

// The classes of every step, each from the 64 bytes at its start and, for
// the exponent signs, the 64 bytes one further; `step` is one of the
// functions below, inlined into the loop compiled for its instruction set.
template <ByteClasses (*step)(const char*)>
[[gnu::always_inline]] inline bool classify_with(const char* p, std::size_t n, ByteClasses* out) {
  std::uint64_t nul = 0;
  for (std::size_t i = 0; i < class_steps(n); ++i) {
    out[i] = step(p + 64 * i);
    const std::size_t left = n - 64 * i;  // the last step's bits past the data are not the data's
    nul |= out[i].nul & (left >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << left) - 1);
  }
  return nul != 0;
}

bool is_rare(char c) {
  return c == kTableEnd[0] || c == kRejectS || c == kRejectF;
}

ByteClasses portable_step(const char* p) {
  ByteClasses b{};
  for (int i = 0; i < 64; ++i) {
    const char c = p[i];
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (c == '\n') b.line_feed |= bit;
    if (c == '\0') b.nul |= bit;
    if (is_blank(c)) b.blank |= bit;
    if (is_rare(c)) b.rare |= bit;
    if (c == kExponent && (p[i + 1] == kMinus || p[i + 1] == kPlus)) b.numeric |= bit;
  }
  return b;
}

bool classify_portable(const char* p, std::size_t n, ByteClasses* out) {
  return classify_with<portable_step>(p, n, out);
}

#if defined(CORVEL_X86)

// Bytes from 0x80 up compare as negative in the signed compares, so they are
// never taken for the blanks tab to carriage return. SSE2 is part of every
// x86-64 processor; the wider sets are used where the processor has them.

std::uint64_t mask16(__m128i bits) {
  return static_cast<std::uint16_t>(_mm_movemask_epi8(bits));
}
__m128i equal16(__m128i v, char c) {
  return _mm_cmpeq_epi8(v, _mm_set1_epi8(c));
}

ByteClasses sse2_step(const char* p) {
  ByteClasses b{};
  for (int part = 0; part < 4; ++part) {
    const char* at = p + 16 * part;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
    const __m128i controls = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('\t' - 1)),
                                           _mm_cmplt_epi8(v, _mm_set1_epi8('\r' + 1)));
    const __m128i rare = _mm_or_si128(equal16(v, kTableEnd[0]),
                                      _mm_or_si128(equal16(v, kRejectS), equal16(v, kRejectF)));
    const __m128i numeric = _mm_and_si128(
        equal16(v, kExponent), _mm_or_si128(equal16(next, kMinus), equal16(next, kPlus)));
    const int shift = 16 * part;
    b.line_feed |= mask16(equal16(v, '\n')) << shift;
    b.nul |= mask16(equal16(v, '\0')) << shift;
    b.blank |= mask16(_mm_or_si128(equal16(v, ' '), controls)) << shift;
    b.rare |= mask16(rare) << shift;
    b.numeric |= mask16(numeric) << shift;
  }
  return b;
}

bool classify_sse2(const char* p, std::size_t n, ByteClasses* out) {
  return classify_with<sse2_step>(p, n, out);
}

[[gnu::target("avx2")]] std::uint64_t mask32(__m256i bits) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(bits));
}
[[gnu::target("avx2")]] __m256i equal32(__m256i v, char c) {
  return _mm256_cmpeq_epi8(v, _mm256_set1_epi8(c));
}

[[gnu::target("avx2")]] ByteClasses avx2_step(const char* p) {
  ByteClasses b{};
  for (int part = 0; part < 2; ++part) {
    const char* at = p + 32 * part;
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 1));
    const __m256i controls = _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8('\t' - 1)),
                                              _mm256_cmpgt_epi8(_mm256_set1_epi8('\r' + 1), v));
    const __m256i rare = _mm256_or_si256(
        equal32(v, kTableEnd[0]), _mm256_or_si256(equal32(v, kRejectS), equal32(v, kRejectF)));
    const __m256i numeric = _mm256_and_si256(
        equal32(v, kExponent), _mm256_or_si256(equal32(next, kMinus), equal32(next, kPlus)));
    const int shift = 32 * part;
    b.line_feed |= mask32(equal32(v, '\n')) << shift;
    b.nul |= mask32(equal32(v, '\0')) << shift;
    b.blank |= mask32(_mm256_or_si256(equal32(v, ' '), controls)) << shift;
    b.rare |= mask32(rare) << shift;
    b.numeric |= mask32(numeric) << shift;
  }
  return b;
}

[[gnu::target("avx2")]] bool classify_avx2(const char* p, std::size_t n, ByteClasses* out) {
  return classify_with<avx2_step>(p, n, out);
}

[[gnu::target("avx512bw")]] std::uint64_t equal64(__m512i v, char c) {
  return _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(c));
}

[[gnu::target("avx512bw")]] ByteClasses avx512_step(const char* p) {
  const __m512i v = _mm512_loadu_si512(p);
  const __m512i next = _mm512_loadu_si512(p + 1);
  // Tab to carriage return are the five bytes from 9 up.
  const std::uint64_t controls = _mm512_cmplt_epu8_mask(_mm512_sub_epi8(v, _mm512_set1_epi8('\t')),
                                                        _mm512_set1_epi8('\r' - '\t' + 1));
  return {equal64(v, '\n'), equal64(v, '\0'), equal64(v, ' ') | controls,
          equal64(v, kTableEnd[0]) | equal64(v, kRejectS) | equal64(v, kRejectF),
          equal64(v, kExponent) & (equal64(next, kMinus) | equal64(next, kPlus))};
}

[[gnu::target("avx512bw")]] bool classify_avx512(const char* p, std::size_t n, ByteClasses* out) {
  return classify_with<avx512_step>(p, n, out);
}

#endif

using ClassifyFunction = bool (*)(const char*, std::size_t, ByteClasses*);

ClassifyFunction classify_function(ScanLevel level) {
  switch (level) {
#if defined(CORVEL_X86)
    case ScanLevel::kAvx512:
      return classify_avx512;
    case ScanLevel::kAvx2:
      return classify_avx2;
    case ScanLevel::kSse2:
      return classify_sse2;
#endif
    default:
      return classify_portable;
  }
}

bool classify_on_first_call(const char* p, std::size_t n, ByteClasses* out);

// Chosen on the first call, so that nothing depends on the order of static
// initialisation.
std::atomic<ClassifyFunction> chosen{classify_on_first_call};

bool classify_on_first_call(const char* p, std::size_t n, ByteClasses* out) {
  ScanLevel best = ScanLevel::kPortable;
  for (ScanLevel level : {ScanLevel::kSse2, ScanLevel::kAvx2, ScanLevel::kAvx512}) {
    if (scan_level_available(level)) best = level;
  }
  chosen.store(classify_function(best), std::memory_order_relaxed);
  return classify_function(best)(p, n, out);
}

}  // namespace

bool scan_level_available(ScanLevel level) {
  switch (level) {
    case ScanLevel::kPortable:
      return true;
#if defined(CORVEL_X86)
    case ScanLevel::kSse2:
      return true;
    case ScanLevel::kAvx2:
      return __builtin_cpu_supports("avx2");
    case ScanLevel::kAvx512:
      return __builtin_cpu_supports("avx512bw");
#endif
    default:
      return false;
  }
}

bool classify_bytes_with(ScanLevel level, const char* p, std::size_t n, ByteClasses* out) {
  return classify_function(level)(p, n, out);
}

bool classify_bytes(const char* p, std::size_t n, ByteClasses* out) {
  return chosen.load(std::memory_order_relaxed)(p, n, out);
}

}  // namespace corvel
