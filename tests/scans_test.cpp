// The model scans and the passes over time, each through a whole run on a
// listing built to show one rule.

#include <gtest/gtest.h>

#include "expected_console.hpp"
#include "harness.hpp"
#include "listing_builder.hpp"

namespace corvel::test {
namespace {

const std::string kAccelHeader =
    "                         A C C E L E R A T I O N    V E C T O R\n";
const std::string kZero = " 0.0000e+000";
const std::string kT1 = " 1.0000e+000", kT2 = " 2.0000e+000", kT3 = " 3.0000e+000",
                  kT4 = " 4.0000e+000";

std::string element_part(const RunResult& r) {
  return between_markers(r.console);
}
std::string node_part(const RunResult& r) {
  return between(r.console, "\n\n nodes \n", std::string(kReferenceQuestion));
}

// The bar stress table without the line above its header.
std::string bare_table(const Rows& rows) {
  const std::string t = bar_stress_table(rows);
  return t.substr(t.find('\n') + 1);
}

TEST(ModelScans, ListingWithoutAccelerationHeader) {
  const RunResult r =
      run_listing(time_step_line("1.0E+00") + bar_stress_table({{"11", "1.0E+00"}}) +
                  time_step_line("2.0E+00") + bar_stress_table({{"11", "2.0E+00"}}));
  ConsoleParts p;     // both scans find nothing; the stream stays at end of file
  p.counter = 6 + 3;  // the first table's rest, a time line, the next table
  EXPECT_EQ(r.console, whole_console(p));
  EXPECT_TRUE(r.files.empty());
  EXPECT_EQ(process_state().time_count, 0);
}

TEST(ModelScans, ListingWithoutBarStressHeader) {
  const RunResult r =
      run_listing(time_step_line("1.0E+00") + acceleration_table({1, 2}) + "     END OF RUN\n");
  ConsoleParts p;
  p.nodes = node_echo(kAccelHeader, {1, 2});
  p.bar_stress = false;
  p.counter = 2000000;
  EXPECT_EQ(r.console, whole_console(p));
  EXPECT_TRUE(r.files.empty());
  EXPECT_EQ(r.status, 0);
}

TEST(NodeTableScan, RowLoopEndsAtTheFirstRowThatDoesNotConvert) {
  struct Case {
    const char* name;
    std::string rows;
    std::vector<long> nodes;
  };
  const Case cases[] = {
      {"letter in the second field",
       "  101   A   1.0E+00 2.0E+00 3.0E+00 4.0E+00 5.0E+00 6.0E+00\n"
       "  102   0   1.0E+00 2.0E+00 3.0E+00 4.0E+00 5.0E+00 6.0E+00\n",
       {101}},
      {"D exponents",
       "  101   0   1.0D+00 2.0D+00 3.0D+00 4.0D+00 5.0D+00 6.0D+00\n"
       "  102   0   1.0D+00 2.0D+00 3.0D+00 4.0D+00 5.0D+00 6.0D+00\n",
       {101}},
      {"a row over two lines, then text starting with a digit",
       "  101 0 1.0E+00 2.0E+00 3.0E+00\n 4.0E+00 5.0E+00 6.0E+00\n 7 PAGE\n",
       {101, 7}},
      {"a rule of dashes ends the table", "  5 0 1 2 3 4 5 6\n -------\n", {5}},
      {"wrapping ids",
       "  4294967295 0 1 2 3 4 5 6\n  -2147483649 0 1 2 3 4 5 6\n",
       {-1, 2147483647}},
  };
  for (const auto& c : cases) {
    const std::string head = acceleration_table({});
    const RunResult r = run_listing(head + c.rows + "END\n");
    EXPECT_EQ(node_part(r), node_echo(kAccelHeader, c.nodes)) << c.name;
  }
  // The header on the last line: the skipped reads and the loop meet the end.
  const RunResult last = run_listing(kPageHeading + kAccelHeader);
  EXPECT_EQ(node_part(last), node_echo(kAccelHeader, {}));
}

TEST(ElementListScan, HeaderRightAfterTheNodeRows) {
  // The node loop stops at the header's first letter, so the element scan's
  // first read is the rest of that line, which still holds the header.
  const RunResult r = run_listing(acceleration_table({1, 2}) + bare_table({{"11", "1.0E+00"}}));
  const std::string rest = kBarStressHeaderLine.substr(kBarStressHeaderLine.find('S'));
  EXPECT_EQ(element_part(r), element_echo(rest, {11}));
}

TEST(ElementListScan, EndLinesAndTheRowPairRule) {
  const std::string first_line_of_12 = row_pair("12", "1.0E+00").substr(0, 70) + "\n";
  const std::string table =
      "     SUBCASE 1\n" + kBarStressHeaderLine + " H1\n H2\n" +
      row_pair("10", "1.0E+00") +                  // its first line is the third skipped line:
      " 5.0E+00\n" +                               // its second pairs with this one, id -1
      first_line_of_12 + "  MAXIMUM  1.0E+00\n" +  // a second line, not an end line
      " 2.0E+00 lonely\n TEXT\n" +                 // dropped: its second line is text
      row_pair("ABC", "1.0E+00") +                 // id 0
      row_pair("12S", "1.0E+00") +                 // listed here despite the S
      row_pair("11", "1.0E+00") + "  VON MISES STRESS\n" + row_pair("13", "1.0E+00") +
      "  MAXIMUM\n";
  const RunResult r = run_listing(acceleration_table({1}) + table);
  EXPECT_EQ(element_part(r), element_echo(kBarStressHeaderLine, {-1, 12, 0, 12, 11}));
}

TEST(ElementListScan, TableBeforeTheAccelerationTableIsNotTheList) {
  const RunResult r = run_listing(bar_stress_table({{"7", "1.0E+00"}}) + acceleration_table({1}) +
                                  bar_stress_table({{"8", "1.0E+00"}, {"9", "1.0E+00"}}));
  EXPECT_EQ(element_part(r), element_echo(kBarStressHeaderLine, {8, 9}));
}

TEST(TimeStepPass, KeepsOnlyStrictlyIncreasingValues) {
  std::string listing;
  for (const char* t : {"-9.99E+02", "abc", "0.0", "2.0E+00", "2.0E+00", "1.5E+00", "-1.0E+00",
                        "3.0D+00", "1.0E+400", "5.0E+00"}) {
    listing += time_step_line(t);
  }
  listing += "  TIME STEP = 9\n";  // fewer than seven tokens: slot 7 is reused
  run_listing(acceleration_table({1}) + bar_stress_table({{"5", "1.0E+00"}}) + listing);
  const ExtractionState& s = process_state();
  ASSERT_EQ(s.time_count, 4);
  EXPECT_EQ(s.next_time_slot, 5);
  EXPECT_EQ(s.time_table[0], -999.0);
  EXPECT_EQ(s.time_table[1], 0.0);  // "abc" converts to 0.0, above the floor
  EXPECT_EQ(s.time_table[2], 2.0);
  EXPECT_EQ(s.time_table[3], 3.0);
  EXPECT_EQ(s.time_table[4], std::numeric_limits<double>::infinity());
}

// Elements 11, 12 and 13; a time line before each of `tables`.
std::string three_elements(const std::vector<std::string>& tables) {
  std::string listing = time_step_line("1.0E+00") + acceleration_table({1}) +
                        bar_stress_table({{"11", "1.1E+00"}, {"12", "1.2E+00"}, {"13", "1.3E+00"}});
  for (std::size_t i = 0; i < tables.size(); ++i) {
    listing += time_step_line(std::to_string(i + 2) + ".0E+00") + tables[i];
  }
  return listing;
}

TEST(StressSamplePass, TableWithoutMaximumRunsIntoTheNext) {
  const RunResult r = run_listing(three_elements({
      bar_stress_table({{"11", "2.1E+00"}, {"12", "2.2E+00"}, {"13", "2.3E+00"}}, false),
      bar_stress_table({{"11", "3.1E+00"}, {"12", "3.2E+00"}, {"13", "3.3E+00"}}),
      bar_stress_table({{"11", "4.1E+00"}, {"12", "4.2E+00"}, {"13", "4.3E+00"}}),
  }));
  // The second table's lines are read by the first one's table loop and not
  // counted: 10 after the first header, 3 for the first table, 3 for the third.
  EXPECT_NE(r.console.find("\n\n ref 2    i=16 \n"), std::string::npos);
  EXPECT_EQ(r.files.at("11_stressTH.dat"), row(kT1, " 2.1000e+000") + row(kT2, " 3.1000e+000") +
                                               row(kT3, " 4.1000e+000") + row(kT4, kZero));
  EXPECT_EQ(r.files.at("13_stressTH.dat"), row(kT1, " 2.3000e+000") + row(kT2, " 3.3000e+000") +
                                               row(kT3, " 4.3000e+000") + row(kT4, kZero));
}

TEST(StressSamplePass, CapitalFThrowsThePairingOneLineOff) {
  // 12's first line holds an F: skipped alone, its second line pairs with
  // 13's first, and 13's second with the numeric MAXIMUM line, which then
  // ends nothing. 13, the last element, is never matched: the column stays 0.
  const Rows rows = {{"11", "2.1E+00"}, {"12F", "2.2E+00"}, {"13", "2.3E+00"}};
  const Rows later = {{"11", "3.1E+00"}, {"12F", "3.2E+00"}, {"13", "3.3E+00"}};
  const RunResult r =
      run_listing(time_step_line("1.0E+00") + acceleration_table({1}) + bar_stress_table(rows) +
                  time_step_line("2.0E+00") + bar_stress_table(rows) + time_step_line("3.0E+00") +
                  bar_stress_table(later));
  EXPECT_EQ(element_part(r), element_echo(kBarStressHeaderLine, {11, 12, 13}));
  EXPECT_NE(r.console.find("\n\n ref 2    i=13 \n"), std::string::npos);
  EXPECT_EQ(r.files.at("11_stressTH.dat"),
            row(kT1, " 3.1000e+000") + row(kT2, kZero) + row(kT3, kZero));
  EXPECT_EQ(r.files.at("12_stressTH.dat"), row(kT1, kZero) + row(kT2, kZero) + row(kT3, kZero));
  EXPECT_EQ(r.files.at("13_stressTH.dat"), r.files.at("12_stressTH.dat"));
}

TEST(StressSamplePass, LastElementListedTwiceAdvancesTheColumnTwice) {
  const Rows rows_of_list = {{"11", "1.0E+00"}, {"12", "1.0E+00"}, {"11", "1.0E+00"}};
  const RunResult r =
      run_listing(time_step_line("1.0E+00") + acceleration_table({1}) +
                  bar_stress_table(rows_of_list) + time_step_line("2.0E+00") +
                  bar_stress_table({{"11", "2.1E+00"}, {"12", "2.2E+00"}, {"11", "2.3E+00"}}) +
                  time_step_line("3.0E+00") +
                  bar_stress_table({{"11", "3.1E+00"}, {"12", "3.2E+00"}, {"11", "3.3E+00"}}));
  const std::string opened =
      " File: 11_stressTH.dat opened. \n File: 12_stressTH.dat opened. \n"
      " File: 11_stressTH.dat opened. \n";
  EXPECT_EQ(r.console.substr(r.console.size() - opened.size()), opened);
  EXPECT_EQ(r.files.at("11_stressTH.dat"),
            row(kT1, " 2.1000e+000") + row(kT2, " 2.3000e+000") + row(kT3, " 3.1000e+000"));
  EXPECT_EQ(r.files.at("12_stressTH.dat"),
            row(kT1, kZero) + row(kT2, " 2.2000e+000") + row(kT3, kZero));
}

TEST(StressSamplePass, OrderMissingRowsShortRowsAndFloatRounding) {
  const RunResult r = run_listing(three_elements({
      // 13 before 12: 12's value goes into the next column.
      bar_stress_table({{"11", "2.1E+00"}, {"13", "2.3E+00"}, {"12", "2.2E+00"}}),
      // No 13: the column does not move, the next table writes it again.
      bar_stress_table({{"11", "9.9E+00"}, {"12", "9.8E+00"}}),
      // 12's value has more digits than a float holds; 13's is beyond it;
      // 11 with fewer than eight tokens takes slot 8 of the row before it, 13's.
      bar_stress_table({{"12", "1.23456789012E+00"}, {"13", "1.0E+39"}}) + "     SUBCASE 1\n" +
          kBarStressHeaderLine + " H\n H\n H\n" + "  11  1.0E+00\n" + " 2.0E+00\n" +
          row_pair("13", "-4.5E+00") + "  MAXIMUM\n",
  }));
  EXPECT_EQ(r.files.at("11_stressTH.dat"), row(kT1, " 2.1000e+000") + row(kT2, " 9.9000e+000") +
                                               row(kT3, " 1.#INFe+000") + row(kT4, kZero));
  EXPECT_EQ(r.files.at("12_stressTH.dat"),
            row(kT1, kZero) + row(kT2, " 1.2346e+000") + row(kT3, kZero) + row(kT4, kZero));
  EXPECT_EQ(r.files.at("13_stressTH.dat"), row(kT1, " 2.3000e+000") + row(kT2, " 1.#INFe+000") +
                                               row(kT3, "-4.5000e+000") + row(kT4, kZero));
}

}  // namespace
}  // namespace corvel::test
