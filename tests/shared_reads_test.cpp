// Every way of reading the listing must give exactly the same run: the time
// step pass riding on the sample pass's reads or reading on its own, and the
// next block read ahead by a helper thread or read in turn.

#include <gtest/gtest.h>

#include "harness.hpp"
#include "listing_builder.hpp"

namespace corvel::test {
namespace {

struct Outcome {
  RunResult run;
  std::vector<double> times;
};

Outcome run_with(const std::string& listing, ReadWays ways) {
  Outcome o{run_listing(listing, "listing.lis 1 0\n", {}, ways), {}};
  const ExtractionState& s = process_state();
  o.times.assign(s.time_table + 1, s.time_table + 1 + s.time_count);
  return o;
}

void expect_same_every_way(const std::string& name, const std::string& listing) {
  const Outcome usual = run_with(listing, {});
  for (const ReadWays ways :
       {ReadWays{false, true}, ReadWays{true, false}, ReadWays{false, false}}) {
    const Outcome other = run_with(listing, ways);
    const std::string how =
        name + (ways.share_reads ? "" : ", two reads") + (ways.read_ahead ? "" : ", no read-ahead");
    EXPECT_EQ(usual.run.console, other.run.console) << how;
    EXPECT_EQ(usual.run.files, other.run.files) << how;
    EXPECT_EQ(usual.run.status, other.run.status) << how;
    EXPECT_EQ(usual.times, other.times) << how;
  }
}

// A time line whose eighth token lands in slot 8.
std::string long_time_line(int step, const std::string& eighth) {
  return "  TIME STEP = 1 TIME = " + std::to_string(step) + ".0 " + eighth + " x\n";
}

TEST(SharedReads, SameConsoleFilesAndTimesAsTwoReads) {
  const std::string list =
      acceleration_table({1}) + bar_stress_table({{"11", "1.0E+00"}, {"12", "1.0E+00"}});
  const std::string short_rows = "     SUBCASE 1\n" + kBarStressHeaderLine + " H\n H\n H\n" +
                                 "  11  1.0E+00\n E+\n  12  2.0E+00\n E+\n  MAXIMUM\n";
  struct Case {
    const char* name;
    std::string listing;
  };
  const Case cases[] = {
      {"plain steps", list + time_step_line("1.0") + bar_stress_table({{"11", "5.0E+00"}}) +
                          time_step_line("2.0") + bar_stress_table({{"12", "6.0E+00"}})},
      // Short rows before any full one take slot 8 from the time step
      // pass's last split, which lies further on in the listing.
      {"short rows take the last time line's slot 8",
       list + long_time_line(1, "7.7E+00") + short_rows + long_time_line(2, "7.7E+00") +
           bar_stress_table({{"11", "3.0E+00"}, {"12", "4.0E+00"}}) + short_rows +
           long_time_line(3, "8.8E+00")},
      {"table without MAXIMUM and an F row",
       list + time_step_line("1.0") +
           bar_stress_table({{"11", "5.0E+00"}, {"12F", "6.0E+00"}}, false) +
           time_step_line("2.0") + bar_stress_table({{"11", "7.0E+00"}, {"12", "8.0E+00"}})},
      {"no element table: the passes cannot share", time_step_line("1.0") + bar_stress_table({})},
      {"long lines and NUL bytes",
       list + std::string(450, 'T') + "TIME STEP = 1 TIME = 9.0\n" + std::string("\0", 1) +
           time_step_line("1.0") + time_step_line("2.0") + bar_stress_table({{"11", "5.0E+00"}})},
  };
  for (const auto& c : cases)
    expect_same_every_way(c.name, c.listing);
}

TEST(SharedReads, ListingsOfManyBlocks) {
  // Tables cross block boundaries at every offset the 97-byte rows give, and
  // the scans rewind between passes.
  std::string listing = acceleration_table({1, 2}) +
                        bar_stress_table({{"11", "1.0E+00"}, {"12", "1.0E+00"}, {"13", "1.0E+00"}});
  for (int step = 1; listing.size() < 5 * kReadBufferSize; ++step) {
    listing += time_step_line(std::to_string(step) + ".0E-03") + acceleration_table({1, 2}) +
               bar_stress_table({{"11", std::to_string(step) + ".5E+01"},
                                 {"13", "-" + std::to_string(step) + ".25E-02"},
                                 {"12", "7.0E+00"}});
  }
  expect_same_every_way("many blocks", listing);
  expect_same_every_way("many blocks, last line cut", listing.substr(0, listing.size() - 7));
}

TEST(SharedReads, TheTimeStepPassStopsAtItsReadLimit) {
  // Time lines on reads 1,999,996 to 2,000,005: only those up to the
  // 2,000,000th read count, though the sample pass reads on past them.
  std::string listing = acceleration_table({1}) + bar_stress_table({{"11", "1.0E+00"}});
  long lines = static_cast<long>(std::count(listing.begin(), listing.end(), '\n'));
  listing.reserve(4200000);
  for (; lines < 1999995; ++lines)
    listing += "x\n";
  for (int step = 1; step <= 10; ++step)
    listing += time_step_line(std::to_string(step) + ".0");
  listing += bar_stress_table({{"11", "5.0E+00"}});
  expect_same_every_way("read limit", listing);
  EXPECT_EQ(process_state().time_count, 5);
}

}  // namespace
}  // namespace corvel::test
