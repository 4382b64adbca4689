#include "listing/listing_reader.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "harness.hpp"

namespace corvel {
namespace {

using test::open_fixture;

std::vector<std::string> all_reads(std::string_view listing) {
  ExtractionState& state = process_state();
  open_fixture(state, listing);
  std::vector<std::string> reads;
  Line l{};
  while (read_line(state, l))
    reads.emplace_back(text_of(l));
  return reads;
}

struct ReadCase {
  const char* name;
  std::string listing;
  std::vector<std::string> reads;
};

TEST(ReadLine, SplitsTheByteStreamIntoBoundedReads) {
  const std::string long_line(250, 'x');
  const ReadCase cases[] = {
      {"line feeds kept", "ab\ncd\n", {"ab\n", "cd\n"}},
      {"carriage return kept", "ab\r\ncd\r\n", {"ab\r\n", "cd\r\n"}},
      {"CR alone is no line end", "ab\rcd\n", {"ab\rcd\n"}},
      {"last line without line feed", "ab\ncd", {"ab\n", "cd"}},
      {"empty lines", "\n\n", {"\n", "\n"}},
      {"empty file", "", {}},
      {"250 bytes are two reads",
       long_line + "\n",
       {std::string(199, 'x'), std::string(51, 'x') + "\n"}},
      {"199 bytes then the line feed alone",
       std::string(199, 'y') + "\n",
       {std::string(199, 'y'), "\n"}},
      {"198 bytes and the line feed fit",
       std::string(198, 'z') + "\n",
       {std::string(198, 'z') + "\n"}},
      {"NUL ends the text, the read runs on", std::string("ab\0cd\nef\n", 9), {"ab", "ef\n"}},
      {"NUL first", std::string("\0abc\n", 5), {""}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(all_reads(c.listing), c.reads) << c.name;
}

TEST(ReadLine, LinesAcrossTheReadBufferBoundary) {
  // Lines of 97 bytes never align with the buffer, so some straddle it.
  const std::string row = std::string(96, 'r') + "\n";
  std::string listing;
  while (listing.size() < 3 * kReadBufferSize)
    listing += row;
  const auto reads = all_reads(listing);
  ASSERT_EQ(reads.size(), listing.size() / row.size());
  for (const auto& r : reads)
    ASSERT_EQ(r, row);
}

TEST(ReadLine, EndOfFileLeavesTheLineAsItWas) {
  ExtractionState& state = process_state();
  open_fixture(state, "only\n");
  Line l{};
  ASSERT_TRUE(read_line(state, l));
  EXPECT_FALSE(read_line(state, l));
  EXPECT_FALSE(read_line(state, l));
  EXPECT_EQ(text_of(l), "only\n");
  rewind_listing(state.input_stream);
  ASSERT_TRUE(read_line(state, l));
  EXPECT_EQ(text_of(l), "only\n");
}

TEST(AdvanceWindow, ShiftsOldestOutAndKeepsL3AtEndOfFile) {
  ExtractionState& state = process_state();
  open_fixture(state, "a\nb\nc\nd\ne\n");
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(advance_window(state));
  EXPECT_EQ(text_of(line(state, 0)), "b\n");
  EXPECT_EQ(text_of(line(state, 3)), "e\n");
  EXPECT_FALSE(advance_window(state));
  EXPECT_EQ(text_of(line(state, 0)), "c\n");
  EXPECT_EQ(text_of(line(state, 2)), "e\n");
  EXPECT_EQ(text_of(line(state, 3)), "e\n");
}

Line make_line(std::string_view text) {
  Line l{};
  text.copy(l.text, text.size());
  l.size = static_cast<std::uint8_t>(text.size());
  return l;
}

std::vector<std::string> slots(const ExtractionState& state) {
  std::vector<std::string> out;
  for (int i = 1; i <= kTokenSlots; ++i)
    out.emplace_back(text_of(state.token_slots[i]));
  return out;
}

TEST(SplitRow, SlotsKeepOlderTokensAndLongTokensAreCut) {
  ExtractionState& state = process_state();
  reset_extraction_state(state);
  split_row(state, make_line(" 1 2 3 4 5 6 7 8 9 10\n"), kRowSplit);
  EXPECT_EQ(slots(state), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));

  split_row(state, make_line("a\tb\r\n"), kRowSplit);
  EXPECT_EQ(slots(state), (std::vector<std::string>{"a", "b", "3", "4", "5", "6", "7", "8", "9"}));

  split_row(state, make_line("  \t\r\n"), kRowSplit);  // blanks only: nothing changes
  EXPECT_EQ(slots(state)[0], "a");

  // A slot count of eight never touches slot 9.
  split_row(state, make_line("q w e r t y u i o p"), kHeadingSplit);
  EXPECT_EQ(slots(state), (std::vector<std::string>{"q", "w", "e", "r", "t", "y", "u", "i", "9"}));

  const std::string twenty = "ABCDEFGHIJKLMNOPQRST";
  split_row(state,
            make_line(std::string(twenty.substr(0, 19)) + " " + twenty + " " +
                      std::string(150, '9') + " next"),
            kRowSplit);
  EXPECT_EQ(slots(state)[0], twenty.substr(0, 19));
  EXPECT_EQ(slots(state)[1], twenty.substr(0, 19));  // cut, the rest skipped
  EXPECT_EQ(slots(state)[2], std::string(19, '9'));
  EXPECT_EQ(slots(state)[3], "next");
}

TEST(IsNumericRow, ExponentMarkersOnly) {
  EXPECT_TRUE(is_numeric_row(make_line("   11  1.0E+00\n")));
  EXPECT_TRUE(is_numeric_row(make_line("x-2.5E-03")));
  EXPECT_FALSE(is_numeric_row(make_line("   11  1.0e+00\n")));
  EXPECT_FALSE(is_numeric_row(make_line("   11  1.5D+02\n")));
  EXPECT_FALSE(is_numeric_row(make_line("   11  1.0E5\n")));
  const std::string nul_before("ab\0E+", 5);
  Line hidden = make_line(nul_before);
  hidden.size = 2;  // the text ends at the NUL
  EXPECT_FALSE(is_numeric_row(hidden));
}

constexpr FieldKind kNodeRow[] = {FieldKind::kInteger, FieldKind::kInteger, FieldKind::kReal,
                                  FieldKind::kReal,    FieldKind::kReal,    FieldKind::kReal,
                                  FieldKind::kReal,    FieldKind::kReal};

struct FieldsCase {
  const char* name;
  std::string listing;
  int converted;
  std::int32_t node;
  const char* rest;  // what the next line read returns
};

TEST(ReadFields, ConvertsUntilAFieldFailsAndPutsOneByteBack) {
  const FieldsCase cases[] = {
      {"full row", "101 0 1.0E+00 2.0E+00 3 4 5 6\nX\n", 8, 101, "\n"},
      {"row over two lines", " 7\n 0 1 2\n3 4 5 6 tail\n", 8, 7, " tail\n"},
      {"letter in second field", "5 A 1.0\n", 1, 5, "A 1.0\n"},
      {"D exponent stops at the D", "5 0 1.0D+00 2\n", 3, 5, "D+00 2\n"},
      {"lone sign stays consumed", "-x\n", 0, 0, "x\n"},
      {"sign before text", "+PAGE 2\n", 0, 0, "PAGE 2\n"},
      {"exponent letter without digits", "5 0 1.0E+ 7 8 9 1 2 3\n", 8, 5, " 3\n"},
      {"lower-case exponent letter then letter", "5 0 2.5e x\n", 3, 5, "x\n"},
      {"point alone fails", "5 0 . 1\n", 2, 5, " 1\n"},
      {"no inf syntax", "5 0 inf\n", 2, 5, "inf\n"},
      {"hex stops at x", "5 0 0x10\n", 3, 5, "x10\n"},
      {"integer wraps", "4294967297 0\n", 2, 1, ""},  // the blanks before EOF are consumed
      {"text first", "PAGE 2\n", 0, 0, "PAGE 2\n"},
      {"NUL is not a blank", std::string("5\0 0\n", 5), 1, 5, ""},
  };
  for (const auto& c : cases) {
    ExtractionState& state = process_state();
    open_fixture(state, c.listing);
    FieldValue values[8] = {};
    EXPECT_EQ(read_fields(state, kNodeRow, 8, values), c.converted) << c.name;
    if (c.converted > 0) {
      EXPECT_EQ(values[0].integer, c.node) << c.name;
    }
    Line l{};
    read_line(state, l);
    EXPECT_EQ(text_of(l), c.rest) << c.name;
  }
}

TEST(ReadFields, EndOfFileBeforeTheFirstField) {
  ExtractionState& state = process_state();
  open_fixture(state, "  \n\t\n");
  FieldValue values[8] = {};
  EXPECT_EQ(read_fields(state, kNodeRow, 8, values), kFieldsEof);
  open_fixture(state, "9 1");
  EXPECT_EQ(read_fields(state, kNodeRow, 8, values), 2);
}

}  // namespace
}  // namespace corvel
