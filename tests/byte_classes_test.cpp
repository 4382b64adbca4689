#include "listing/byte_classes.hpp"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "harness.hpp"
#include "listing/listing_reader.hpp"

namespace corvel {
namespace {

using test::open_fixture;

// Bytes that some class holds, and bytes near them, far more often than
// chance would give them.
std::string random_bytes(std::mt19937& rng, std::size_t n) {
  static const std::string interesting =
      std::string("\n\0 \t\r\v\f\x08\x0e\x80\xff", 11) + "MSFEe+-.0123456789AXD";
  std::string s(n, ' ');
  for (char& c : s) {
    c = rng() % 4 == 0 ? static_cast<char>(rng() % 256) : interesting[rng() % interesting.size()];
  }
  return s;
}

// Each class of one byte as the header describes it, the next byte known.
ByteClasses byte_by_byte(const std::string& bytes, std::size_t step) {
  ByteClasses b{};
  for (std::size_t i = 0; i < 64 && step * 64 + i < bytes.size(); ++i) {
    const char c = bytes[step * 64 + i];
    const char next = step * 64 + i + 1 < bytes.size() ? bytes[step * 64 + i + 1] : '\0';
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (c == '\n') b.line_feed |= bit;
    if (c == '\0') b.nul |= bit;
    if (c == ' ' || (c >= '\t' && c <= '\r')) b.blank |= bit;
    if (c == 'M' || c == 'S' || c == 'F') b.rare |= bit;
    if (c == 'E' && (next == '-' || next == '+')) b.numeric |= bit;
  }
  return b;
}

TEST(ByteClasses, EveryInstructionSetGivesTheBitsOfEachByte) {
  std::mt19937 rng(7);
  for (ScanLevel level :
       {ScanLevel::kPortable, ScanLevel::kSse2, ScanLevel::kAvx2, ScanLevel::kAvx512}) {
    if (!scan_level_available(level)) continue;
    for (int round = 0; round < 2000; ++round) {
      const std::size_t n = rng() % 300;
      // The data is followed by readable slack, as in the buffer and a Line.
      std::string storage = random_bytes(rng, n + kCopySlack);
      const std::string data = storage.substr(0, n);
      std::vector<ByteClasses> got(class_steps(n) + 1);
      const bool nul = classify_bytes_with(level, storage.data(), n, got.data());
      ASSERT_EQ(nul, data.find('\0') != std::string::npos) << static_cast<int>(level);
      for (std::size_t step = 0; step < class_steps(n); ++step) {
        const std::uint64_t in_data =
            n - step * 64 >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (n - step * 64)) - 1;
        const ByteClasses want = byte_by_byte(data, step);
        ASSERT_EQ(got[step].line_feed & in_data, want.line_feed) << static_cast<int>(level);
        ASSERT_EQ(got[step].nul & in_data, want.nul);
        ASSERT_EQ(got[step].blank & in_data, want.blank);
        ASSERT_EQ(got[step].rare & in_data, want.rare);
        // The last byte's numeric bit looks at the slack; no text includes it.
        const std::uint64_t but_last = step + 1 == class_steps(n) ? in_data >> 1 : in_data;
        ASSERT_EQ(got[step].numeric & but_last, want.numeric & but_last);
      }
    }
  }
}

// A line's flags and tokens from its text alone.
struct Expected {
  bool rare;
  bool numeric;
  std::vector<std::string> tokens;
};

Expected expected_for(std::string_view text) {
  Expected e{text.find_first_of("MSF") != std::string_view::npos,
             text.find("E-") != std::string_view::npos || text.find("E+") != std::string_view::npos,
             {}};
  std::size_t at = 0;
  while (e.tokens.size() < kTokenSlots) {
    at = text.find_first_not_of(" \t\n\v\f\r", at);
    if (at == std::string_view::npos) break;
    const std::size_t end = std::min(text.find_first_of(" \t\n\v\f\r", at), text.size());
    e.tokens.emplace_back(text.substr(at, std::min<std::size_t>(end - at, kTokenChars)));
    at = end;
  }
  return e;
}

TEST(ByteClasses, ReadsInTheBufferAndCopiedOutOfItAnswerAlike) {
  // Lines of every length up to past 199 bytes, with NULs, rare capitals and
  // exponent signs at random places, run across many buffer boundaries.
  std::mt19937 rng(11);
  std::string listing;
  while (listing.size() < 3 * kReadBufferSize) {
    std::string row = random_bytes(rng, rng() % 260);
    for (char& c : row)
      if (c == '\n') c = ' ';
    listing += row + "\n";
  }
  ExtractionState& state = process_state();
  open_fixture(state, listing);
  std::size_t at = 0;
  std::string_view text;
  int reads = 0;
  while (read_line_view(state, line(state, 0), text)) {
    // The read's text as the rules define it: up to the line feed or 199
    // bytes, then up to the first NUL.
    std::string_view rest = std::string_view(listing).substr(at);
    std::size_t take =
        std::min(rest.find('\n') + 1, std::min<std::size_t>(rest.size(), kLineChars));
    std::string_view want = rest.substr(0, std::min(take, rest.substr(0, take).find('\0')));
    at += take;
    ASSERT_EQ(text, want) << "read " << reads;
    const Expected e = expected_for(want);
    const LineFlags flags = line_flags(state.input_stream, text);
    ASSERT_EQ(flags.rare, e.rare) << "read " << reads;
    ASSERT_EQ(flags.numeric, e.numeric) << "read " << reads;
    const int tokens = split_row(state, text, row_masks(state.input_stream, text), kRowSplit);
    ASSERT_EQ(tokens, static_cast<int>(e.tokens.size())) << "read " << reads;
    for (int i = 0; i < tokens; ++i)
      ASSERT_EQ(text_of(state.token_slots[i + 1]), e.tokens[static_cast<std::size_t>(i)]);
    ++reads;
  }
  EXPECT_EQ(at, listing.size());
}

}  // namespace
}  // namespace corvel
