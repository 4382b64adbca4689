// The console dialog: the "%s" and "%d" reads and the run's answers to them.

#include "run/console.hpp"

#include <gtest/gtest.h>
#include <string>

#include "expected_console.hpp"
#include "harness.hpp"
#include "listing_builder.hpp"

namespace corvel::test {
namespace {

// Runs `read` on `input` and returns what it left unread.
template <typename Read>
std::string remainder_after(std::string input, Read read) {
  std::FILE* in = ::fmemopen(input.data(), input.size(), "r");
  read(in);
  std::string rest;
  for (int c = std::getc(in); c != EOF; c = std::getc(in))
    rest += static_cast<char>(c);
  std::fclose(in);
  return rest;
}

struct DecimalCase {
  const char* input;
  std::int32_t value;
  const char* rest;
};

TEST(ReadDecimal, SkipsBlanksTakesSignAndDigitsLeavesTheRest) {
  const DecimalCase cases[] = {
      {"3\n", 3, "\n"},
      {" \n\t -12 x", -12, " x"},
      {"+7", 7, ""},
      {"42abc\n", 42, "abc\n"},
      {"abc\n", 0, "abc\n"},  // fails: the value stays, nothing consumed
      {"-\n5", 0, "\n5"},     // a sign alone stays consumed
      {"+-5", 0, "-5"},
      {"4294967297\n", 1, "\n"},  // modulo 2^32
      {"2147483648", -2147483647 - 1, ""},
      {"99999999999999999999", 1661992959, ""},
      {"   ", 0, ""},
  };
  for (const auto& c : cases) {
    std::int32_t value = 0;
    const std::string rest =
        remainder_after(c.input, [&](std::FILE* in) { read_decimal(in, value); });
    EXPECT_EQ(value, c.value) << c.input;
    EXPECT_EQ(rest, c.rest) << c.input;
  }
}

struct WordCase {
  std::string input;
  std::string word;
  std::size_t length;
  std::string rest;
};

TEST(ReadWord, OneWordEndedByABlank) {
  const WordCase cases[] = {
      {"  \n\tlist.lis 1 0\n", "list.lis", 8, " 1 0\n"},  // fills the field
      {"my file.lis\n", "my", 2, " file.lis\n"},
      {"a\r\nb", "a", 1, "\r\nb"},
      {"name", "name", 4, ""},
      {"", "", 0, ""},
      {" \n ", "", 0, ""},
      {"abcdefghij rest", "abcdefgh", 10, " rest"},  // consumed whole, cut to the field
  };
  for (const auto& c : cases) {
    char word[9] = "XXXXXXXX";
    std::size_t length = 0;
    const std::string rest =
        remainder_after(c.input, [&](std::FILE* in) { length = read_word(in, word, 8); });
    EXPECT_EQ(word, c.word) << c.input;
    EXPECT_EQ(length, c.length) << c.input;
    EXPECT_EQ(rest, c.rest) << c.input;
  }
}

const std::string kFailedRun = expected_opening().substr(0, expected_opening().find(" File:"));

TEST(Dialog, AListingThatCannotBeOpenedEndsTheRun) {
  struct Case {
    const char* name;
    std::string answers;
    std::string shown;  // the name in the message
  };
  const Case cases[] = {
      {"missing file", "nothing.lis 1 0\n", "nothing.lis"},
      {"empty standard input", "", ""},
      {"blanks only", " \n \n", ""},
      {"a name with a blank is cut there", "listing .lis\n", "listing"},
      {"a directory", "sub 1 0\n", "sub"},
      {"a NUL byte in the name", std::string("listing.lis\0x 1 0\n", 18), "listing.lis"},
  };
  for (const auto& c : cases) {
    const RunResult r =
        run_listing("whatever\n", c.answers, [](ScratchDir& d) { d.make_dir("sub"); });
    EXPECT_EQ(r.console, kFailedRun + " Failed to open file: " + c.shown + " \n") << c.name;
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_TRUE(r.files.empty()) << c.name;
  }
}

TEST(Dialog, NameCapacityIs4095Bytes) {
  const std::string fits(4095, 'n');
  const std::string listing = time_step_line("1.0E+00");
  // 4095 bytes fit the field but not the file system's name limit: the open
  // fails and reports the whole name it tried.
  RunResult r = run_listing(listing, fits + " 1 0\n");
  EXPECT_EQ(r.console, kFailedRun + " Failed to open file: " + fits + " \n");

  const std::string too_long(4096, 'n');
  r = run_listing(listing, too_long + "\n");
  EXPECT_EQ(r.console, kFailedRun + " Failed to open file: " + fits + " \n");
  EXPECT_EQ(r.status, 1);

  // A long name that the file system takes: a path of many short parts.
  std::string path;
  for (int i = 0; i < (4095 - 11) / 2; ++i)
    path += "./";
  path += "listing.lis";
  ASSERT_EQ(path.size(), 4095U);
  r = run_listing(listing, path + " 1 0\n");
  EXPECT_EQ(r.console.substr(0, expected_opening(path).size()), expected_opening(path));
  EXPECT_EQ(r.status, 0);
}

TEST(Dialog, AnswersThatAreNotNumbers) {
  struct Case {
    const char* answers;
    std::int32_t axis;
    std::int32_t node;
  };
  const Case cases[] = {
      {"listing.lis 2 17\n", 2, 17},
      {"listing.lis x 5\n", 0, 0},   // both reads meet the x
      {"listing.lis 3x 5\n", 3, 0},  // the second read meets the x
      {"listing.lis - 5\n", 0, 5},   // the sign alone is consumed
      {"listing.lis + -\n", 0, 0},
      {"listing.lis 4294967299 -1\n", 3, -1},
      {"listing.lis", 0, 0},  // input ends
      {"listing.lis\n\n\n 1\n\n 2", 1, 2},
  };
  const std::string listing = kPageHeading;
  const RunResult expected = run_listing(listing, "listing.lis 1 0\n");
  for (const auto& c : cases) {
    const RunResult r = run_listing(listing, c.answers);
    EXPECT_EQ(r.console, expected.console) << c.answers;
    EXPECT_EQ(process_state().axis_code, c.axis) << c.answers;
    EXPECT_EQ(process_state().reference_node, c.node) << c.answers;
  }
}

}  // namespace
}  // namespace corvel::test
