// Whole runs on small listings: console output and files, byte for byte.

#include <gtest/gtest.h>

#include "expected_console.hpp"
#include "harness.hpp"
#include "listing_builder.hpp"

namespace corvel::test {
namespace {

const std::string kAccelHeader =
    "                         A C C E L E R A T I O N    V E C T O R\n";
const std::string kZero = " 0.0000e+000";

// Three elements, one time step line before each of three bar stress tables.
std::string worked_example() {
  return kPageHeading + time_step_line("1.0000E-02") + acceleration_table({101, 102}) +
         bar_stress_table({{"11", "1.1E+01"}, {"12", "1.2E+01"}, {"13", "1.3E+01"}}) +
         time_step_line("2.0000E-02") +
         bar_stress_table({{"11", "2.1E+01"}, {"12", "2.2E+01"}, {"13", "2.3E+01"}}) +
         time_step_line("3.0000E-02") +
         bar_stress_table({{"11", "3.1E+01"}, {"12", "-3.2E+01"}, {"13", "3.3E+01"}});
}

TEST(WholeRun, WorkedExample) {
  const RunResult r = run_listing(worked_example());
  ConsoleParts p;
  p.nodes = node_echo(kAccelHeader, {101, 102});
  p.elements = element_echo(kBarStressHeaderLine, {11, 12, 13});
  // After the first header: its 10 lines, then per later table a time line,
  // the line above the header and the header itself.
  p.counter = 10 + 3 + 3;
  p.files = {"11_stressTH.dat", "12_stressTH.dat", "13_stressTH.dat"};
  EXPECT_EQ(r.console, whole_console(p));
  EXPECT_EQ(r.status, 0);

  const std::string t1 = " 1.0000e-002", t2 = " 2.0000e-002", t3 = " 3.0000e-002";
  EXPECT_EQ(r.files.size(), 3U);
  EXPECT_EQ(r.files.at("11_stressTH.dat"),
            row(t1, " 2.1000e+001") + row(t2, " 3.1000e+001") + row(t3, kZero));
  EXPECT_EQ(r.files.at("12_stressTH.dat"),
            row(t1, " 2.2000e+001") + row(t2, "-3.2000e+001") + row(t3, kZero));
  EXPECT_EQ(r.files.at("13_stressTH.dat"),
            row(t1, " 2.3000e+001") + row(t2, " 3.3000e+001") + row(t3, kZero));
}

TEST(WholeRun, AnswersChangeNothing) {
  const RunResult base = run_listing(worked_example(), "listing.lis 1 0\n");
  const RunResult other = run_listing(worked_example(), "listing.lis\n7\n123\n");
  EXPECT_EQ(other.console, base.console);
  EXPECT_EQ(other.files, base.files);
}

TEST(WholeRun, SecondRunInTheSameProcessMatchesTheFirst) {
  // A large run first, so that a leftover column or time would show.
  std::string big = time_step_line("1.0E+00") + acceleration_table({1}) +
                    bar_stress_table({{"5", "1.0E+00"}, {"6", "2.0E+00"}});
  for (int step = 2; step < 40; ++step) {
    big += time_step_line(std::to_string(step) + ".0E+00") +
           bar_stress_table({{"5", "3.0E+00"}, {"6", "4.0E+00"}});
  }
  run_listing(big);
  const RunResult first = run_listing(worked_example());
  run_listing(big);
  const RunResult second = run_listing(worked_example());
  EXPECT_EQ(second.console, first.console);
  EXPECT_EQ(second.files, first.files);
  EXPECT_EQ(second.status, first.status);
}

}  // namespace
}  // namespace corvel::test

namespace corvel::test {
namespace {

// Thousands of steps with filler lines of varying length between them, so
// that time lines and table headers fall at every offset of the read buffer
// and across its refills: no step may be lost or collected twice.
TEST(WholeRun, StepsAtEveryOffsetOfTheReadBuffer) {
  std::string listing = acceleration_table({1}) + bar_stress_table({{"11", "0.0E+00"}});
  constexpr int kSteps = 3000;
  for (int step = 1; step <= kSteps; ++step) {
    listing += std::string(static_cast<std::size_t>(step % 97), 'x') + "\n";
    listing += time_step_line(std::to_string(step) + ".0") +
               std::string(static_cast<std::size_t>(step % 13), ' ') + "\n";
    listing += bar_stress_table({{"11", std::to_string(step) + ".0E+00"}});
  }
  ASSERT_GT(listing.size(), 3 * kReadBufferSize);
  const RunResult r = run_listing(listing);
  const ExtractionState& s = process_state();
  ASSERT_EQ(s.time_count, kSteps);
  for (int k = 0; k < kSteps; ++k) {
    ASSERT_EQ(s.time_table[k + 1], k + 1.0) << k;
    ASSERT_EQ(s.stress_table[0][k], static_cast<float>(k + 1)) << k;  // table k + 2 is step k + 1
  }
  EXPECT_EQ(r.files.at("11_stressTH.dat").size(), 29U * kSteps);
}

}  // namespace
}  // namespace corvel::test
