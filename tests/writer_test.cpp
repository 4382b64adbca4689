// The time history files: names, rows, replacement, and what the run says
// and returns when a file cannot be opened or written.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "harness.hpp"
#include "listing_builder.hpp"

namespace corvel::test {
namespace {

// Elements `ids`, two time steps, one collected table.
std::string listing_of(const Rows& rows, const Rows& later) {
  return time_step_line("1.0E-03") + acceleration_table({1}) + bar_stress_table(rows) +
         time_step_line("2.0E-03") + bar_stress_table(later);
}

const std::string kFourElements =
    listing_of({{"11", "1.0E+00"}, {"12", "1.0E+00"}, {"13", "1.0E+00"}, {"14", "1.0E+00"}},
               {{"11", "-1.2345E+02"}, {"12", "2.0E+00"}, {"13", "3.0E+00"}, {"14", "4.0E+00"}});

std::string tail_after_counter(const std::string& console) {
  return console.substr(console.find(" \n", console.find("ref 2")) + 2);
}

TEST(TimeHistoryFiles, RowFormatNamesAndReplacement) {
  const RunResult r = run_listing(
      listing_of({{"-7", "1.0E+00"}, {"101", "1.0E+00"}}, {{"-7", "-1.2345E+02"}, {"101", "0.0"}}),
      "listing.lis 1 0\n",
      [](ScratchDir& d) { d.write_file("101_stressTH.dat", std::string(500, 'x')); });
  EXPECT_EQ(r.files.at("-7_stressTH.dat"),
            "  1.0000e-003 -1.2345e+002 \r\n  2.0000e-003  0.0000e+000 \r\n");
  EXPECT_EQ(r.files.at("101_stressTH.dat"),  // the longer old file is replaced
            "  1.0000e-003  0.0000e+000 \r\n  2.0000e-003  0.0000e+000 \r\n");
  EXPECT_EQ(r.status, 0);
}

TEST(TimeHistoryFiles, NoTimesGiveEmptyFilesAndNoElementsNoFiles) {
  RunResult r = run_listing(acceleration_table({1}) + bar_stress_table({{"5", "1.0E+00"}}) +
                            bar_stress_table({{"5", "2.0E+00"}}));
  EXPECT_EQ(r.files, (std::map<std::string, std::string>{{"5_stressTH.dat", ""}}));
  r = run_listing(time_step_line("1.0E+00") + acceleration_table({1}));
  EXPECT_TRUE(r.files.empty());
  EXPECT_EQ(tail_after_counter(r.console), "");
}

TEST(TimeHistoryFiles, FailuresAreReportedAndTheOthersStillWritten) {
  const RunResult r = run_listing(kFourElements, "listing.lis 1 0\n", [](ScratchDir& d) {
    d.make_dir("12_stressTH.dat");                // a name taken by a directory
    d.make_link("13_stressTH.dat", "/dev/full");  // every write fails: the device is full
  });
  EXPECT_EQ(tail_after_counter(r.console),
            " File: 11_stressTH.dat opened. \n"
            " Failed to open file: 12_stressTH.dat \n"
            " File: 13_stressTH.dat opened. \n"
            " Failed to write file: 13_stressTH.dat \n"
            " File: 14_stressTH.dat opened. \n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.files.at("11_stressTH.dat"),
            "  1.0000e-003 -1.2345e+002 \r\n  2.0000e-003  0.0000e+000 \r\n");
  EXPECT_EQ(r.files.at("14_stressTH.dat"),
            "  1.0000e-003  4.0000e+000 \r\n  2.0000e-003  0.0000e+000 \r\n");
}

TEST(TimeHistoryFiles, WithManyRowsTheFailuresOfBothHalvesAreReportedInListOrder) {
  // Enough rows that a helper thread writes the second half of the list
  // (13 and 14) while the run writes the first (11 and 12).
  const Rows rows = {{"11", "2.5E+00"}, {"12", "1.0E+00"}, {"13", "1.0E+00"}, {"14", "1.0E+00"}};
  std::string listing = listing_of(rows, rows);
  constexpr int kSteps = 2000;
  for (int step = 3; step <= kSteps; ++step)
    listing += time_step_line(std::to_string(step) + ".0E-03") + bar_stress_table(rows);
  const RunResult r = run_listing(listing, "listing.lis 1 0\n", [](ScratchDir& d) {
    d.make_dir("12_stressTH.dat");
    d.make_link("13_stressTH.dat", "/dev/full");
  });
  EXPECT_EQ(tail_after_counter(r.console),
            " File: 11_stressTH.dat opened. \n"
            " Failed to open file: 12_stressTH.dat \n"
            " File: 13_stressTH.dat opened. \n"
            " Failed to write file: 13_stressTH.dat \n"
            " File: 14_stressTH.dat opened. \n");
  EXPECT_EQ(r.status, 1);
  for (const char* name : {"11_stressTH.dat", "14_stressTH.dat"}) {
    const std::string& file = r.files.at(name);
    EXPECT_EQ(file.size(), kSteps * std::string("  1.0000e-003  2.5000e+000 \r\n").size());
    EXPECT_EQ(file.substr(file.size() - 29), "  2.0000e+000  0.0000e+000 \r\n");
  }
  EXPECT_EQ(r.files.at("11_stressTH.dat").substr(0, 29), "  1.0000e-003  2.5000e+000 \r\n");
}

TEST(TimeHistoryFiles, ADirectoryThatForbidsWriting) {
  // Permission bits do not stop root, so the run is given a directory that
  // has been removed: nothing can be created in it, for any user.
  ScratchDir dir;
  dir.write_file(kListingName, kFourElements);
  dir.make_dir("gone");
  const int gone = ::openat(dir.fd(), "gone", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(gone, 0);
  ASSERT_EQ(::unlinkat(dir.fd(), "gone", AT_REMOVEDIR), 0);

  const RunResult r = run_in(gone, dir.path() + "/" + kListingName + " 1 0\n");
  ::close(gone);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(tail_after_counter(r.console),
            " Failed to open file: 11_stressTH.dat \n Failed to open file: 12_stressTH.dat \n"
            " Failed to open file: 13_stressTH.dat \n Failed to open file: 14_stressTH.dat \n");
}

}  // namespace
}  // namespace corvel::test
