// Hostile listings and limits: long lines, long tokens, NUL bytes, CR-only
// line ends, binary and empty files, full tables, extreme numbers. Each case
// states the whole console and the files.

#include <gtest/gtest.h>

#include "expected_console.hpp"
#include "harness.hpp"
#include "listing_builder.hpp"

namespace corvel::test {
namespace {

const std::string kAccelHeader =
    "                         A C C E L E R A T I O N    V E C T O R\n";
const std::string kZero = " 0.0000e+000";
const std::string kT1 = " 1.0000e+000", kT2 = " 2.0000e+000", kT3 = " 3.0000e+000";
const std::string kElevenListed = acceleration_table({1}) + bar_stress_table({{"11", "1.0E+00"}});

ConsoleParts eleven_parts(long counter) {
  ConsoleParts p;
  p.nodes = node_echo(kAccelHeader, {1});
  p.elements = element_echo(kBarStressHeaderLine, {11});
  p.counter = counter;
  p.files = {"11_stressTH.dat"};
  return p;
}

TEST(HostileInput, LongLinesAreReadIn199BytePieces) {
  struct Case {
    std::size_t length;  // with the line feed
    long pieces;
  };
  for (const Case c : {Case{199, 1}, Case{200, 2}, Case{398, 2}, Case{100000, 503}}) {
    std::string time_line = time_step_line("2.0E+00");
    time_line.insert(time_line.size() - 1, c.length - time_line.size(), ' ');
    const RunResult r =
        run_listing(kElevenListed + time_line + bar_stress_table({{"11", "5.0E+00"}}));
    // The first table's 6 lines, the pieces, the next table's 2.
    EXPECT_EQ(r.console, whole_console(eleven_parts(6 + c.pieces + 2))) << c.length;
    EXPECT_EQ(r.files.at("11_stressTH.dat"), row(kT2, " 5.0000e+000")) << c.length;
  }
}

TEST(HostileInput, LongTokensAreCutTo19Bytes) {
  struct Case {
    std::string token;
    std::string field;
  };
  const Case cases[] = {
      {"2.500000000000E+010", " 2.5000e+010"},        // 19 bytes: whole
      {"2.5000000000000E+010", " 2.5000e+001"},       // 20: "2.5000000000000E+01"
      {"1234567890123456789012345", " 1.2346e+018"},  // 25 digits: the first 19
  };
  for (const auto& c : cases) {
    const RunResult r = run_listing(time_step_line("1.0E+00") + kElevenListed +
                                    bar_stress_table({{"11", c.token}}));
    EXPECT_EQ(r.console, whole_console(eleven_parts(6 + 2))) << c.token;
    EXPECT_EQ(r.files.at("11_stressTH.dat"), row(kT1, c.field)) << c.token;
  }
  // A 500-byte time token: its first 19 bytes are the value, the rest of the
  // token is skipped and its later pieces hold no time step line.
  const std::string long_time =
      "      TIME STEP =      1    TIME =  3" + std::string(499, '0') + " 9.0E+00\n";
  const RunResult r =
      run_listing(long_time + kElevenListed + bar_stress_table({{"11", "4.0E+00"}}));
  EXPECT_EQ(r.files.at("11_stressTH.dat"), row(" 3.0000e+018", " 4.0000e+000"));
}

TEST(HostileInput, NulBytesEndTheTextOfALine) {
  using namespace std::string_literals;
  // In a header: that table is not seen, the next one is the list.
  std::string hidden = bar_stress_table({{"7", "1.0E+00"}});
  hidden.insert(hidden.find("I N   B A R"), "\0"s);
  RunResult r =
      run_listing(acceleration_table({1}) + hidden + bar_stress_table({{"8", "1.0E+00"}}) +
                  time_step_line("1.0E+00") + bar_stress_table({{"8", "5.0E+00"}}));
  ConsoleParts p;
  p.nodes = node_echo(kAccelHeader, {1});
  p.elements = element_echo(kBarStressHeaderLine, {8});
  p.counter = 6 + 1 + 2;
  p.files = {"8_stressTH.dat"};
  EXPECT_EQ(r.console, whole_console(p));
  EXPECT_EQ(r.files.at("8_stressTH.dat"), row(kT1, " 5.0000e+000"));

  // In a row: the value after the NUL is not seen; slot 8 still holds the
  // last listed row's value.
  std::string rows = bar_stress_table({{"11", "2.1E+00"}, {"12", "2.2E+00"}});
  rows.insert(rows.find("2.1E+00"), "\0"s);
  r = run_listing(time_step_line("1.0E+00") + acceleration_table({1}) +
                  bar_stress_table({{"11", "1.1E+00"}, {"12", "1.2E+00"}}) + rows);
  EXPECT_EQ(r.files.at("11_stressTH.dat"), row(kT1, " 1.2000e+000"));
  EXPECT_EQ(r.files.at("12_stressTH.dat"), row(kT1, " 2.2000e+000"));

  // In a time step line: the line is no time step line at all.
  r = run_listing(time_step_line("1.0E+00") + "\0"s + time_step_line("9.0E+00") +
                  time_step_line("2.0E+00") + kElevenListed +
                  bar_stress_table({{"11", "5.0E+00"}}));
  EXPECT_EQ(r.files.at("11_stressTH.dat"), row(kT1, " 5.0000e+000") + row(kT2, kZero));
}

TEST(HostileInput, CarriageReturnAloneEndsNoLine) {
  // The whole file is one read: it holds the time step and the header, and
  // nothing is left for the skipped lines or the node rows.
  const std::string listing =
      "TIME STEP = 1 TIME = 1.0E+00\r A C C E L\r H\r H\r H\r 1 0 1 2 3 4 5 6\rEND\r";
  const RunResult r = run_listing(listing);
  ConsoleParts p;
  p.nodes = node_echo(listing, {});
  p.bar_stress = false;
  p.counter = 2000000;
  EXPECT_EQ(r.console, whole_console(p));
  EXPECT_EQ(process_state().time_count, 0);  // the stream was at its end
  EXPECT_TRUE(r.files.empty());
}

TEST(HostileInput, EmptyRandomAndUnterminatedFiles) {
  ConsoleParts nothing;
  nothing.bar_stress = false;
  nothing.counter = 2000000;

  RunResult r = run_listing("");
  EXPECT_EQ(r.console, whole_console(nothing));
  EXPECT_EQ(r.status, 0);

  std::string random(1 << 20, '\0');
  std::uint64_t seed = 12345;
  for (char& c : random) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    c = static_cast<char>(seed >> 56);
  }
  for (std::string_view f : {"A C C E L", "S T R E S S", "TIME STEP ="}) {
    ASSERT_EQ(random.find(f), std::string::npos);
  }
  r = run_listing(random);
  EXPECT_EQ(r.console, whole_console(nothing));
  EXPECT_TRUE(r.files.empty());

  // The last line has no line feed and is still a time step line.
  std::string last = time_step_line("3.0E+00");
  last.pop_back();
  r = run_listing(time_step_line("1.0E+00") + kElevenListed + time_step_line("2.0E+00") +
                  bar_stress_table({{"11", "5.0E+00"}}) + last);
  EXPECT_EQ(r.console, whole_console(eleven_parts(6 + 1 + 2 + 1)));
  EXPECT_EQ(r.files.at("11_stressTH.dat"),
            row(kT1, " 5.0000e+000") + row(kT2, kZero) + row(kT3, kZero));
}

TEST(HostileInput, ElementListHoldsAHundred) {
  for (int listed : {100, 101, 150}) {
    Rows rows, values;
    std::vector<long> ids;
    for (int id = 1; id <= listed; ++id) {
      rows.emplace_back(std::to_string(id), "1.0E+00");
      values.emplace_back(std::to_string(id), std::to_string(id) + ".0E+00");
      if (id <= 100) ids.push_back(id);
    }
    const RunResult r = run_listing(time_step_line("1.0E+00") + acceleration_table({1}) +
                                    bar_stress_table(rows) + bar_stress_table(values));
    EXPECT_EQ(between_markers(r.console), element_echo(kBarStressHeaderLine, ids)) << listed;
    ASSERT_EQ(r.files.size(), 100U) << listed;
    EXPECT_EQ(r.files.at("100_stressTH.dat"), row(kT1, " 1.0000e+002")) << listed;
    EXPECT_EQ(r.files.at("1_stressTH.dat"), row(kT1, " 1.0000e+000")) << listed;
    EXPECT_EQ(r.status, 0);
  }
}

TEST(HostileInput, ExtremeNumbersInStressTokens) {
  struct Case {
    const char* token;
    const char* field;
  };
  const Case cases[] = {
      {"1E+400", " 1.#INFe+000"},  {"-1E+400", "-1.#INFe+000"}, {"1E-400", " 0.0000e+000"},
      {"-1E-400", " 0.0000e+000"}, {"1.5D+02", " 1.5000e+002"}, {"1e", " 1.0000e+000"},
      {"-.", " 0.0000e+000"},      {"+", " 0.0000e+000"},       {"1.0E-40", " 9.9999e-041"},
  };
  for (const auto& c : cases) {
    const RunResult r = run_listing(time_step_line("1.0E+00") + kElevenListed +
                                    bar_stress_table({{"11", c.token}}));
    EXPECT_EQ(r.files.at("11_stressTH.dat"), row(kT1, c.field)) << c.token;
  }
}

TEST(HostileInput, ExtremeNumbersInNodeRows) {
  struct Case {
    std::string real;
    std::vector<long> nodes;
  };
  const Case cases[] = {
      {std::string(24, '7'), {1, 2}},
      {std::string(25, '7'), {1, 2}},
      {"0." + std::string(400, '3') + "E-2", {1, 2}},
      {"1.0E+400", {1, 2}},
      {"1.0E-400", {1, 2}},
      {"1e", {1, 2}},     // the letter is consumed, the blank after it put back
      {"1.5D+02", {1}},   // the next attempt meets the D
      {"-.", {1, 2, 2}},  // fails; the rest of the row is read as rows
      {"+", {1, 2, 2}},
  };
  for (const auto& c : cases) {
    const RunResult r = run_listing(acceleration_table({}) + "  1 0 " + c.real +
                                    " 2 3 4 5 6\n  2 0 1 2 3 4 5 6\nEND\n");
    EXPECT_EQ(between(r.console, "\n\n nodes \n", std::string(kReferenceQuestion)),
              node_echo(kAccelHeader, c.nodes))
        << c.real;
  }
}

TEST(HostileInput, MoreTimesAndColumnsThanTheTablesHold) {
  // 200005 steps, each a time line and a table of elements 1 and 2: the time
  // table keeps 199999 values, the stress table 200000 columns, and nothing
  // lands in the other element's row.
  std::string listing =
      acceleration_table({1}) + bar_stress_table({{"1", "0.0E+00"}, {"2", "0.0E+00"}});
  const std::string header = kBarStressHeaderLine + " \n \n \n";
  for (int step = 1; step <= 200005; ++step) {
    const std::string n = std::to_string(step);
    listing += "TIME STEP = 1 TIME = " + n + "\n" + header + " 1 E+ a a a a a " + n +
               "\n E+\n 2 E+ a a a a a -" + n + "\n E+\nMAXIMUM\n";
  }
  const RunResult r = run_listing(listing);
  const ExtractionState& s = process_state();
  EXPECT_EQ(s.time_count, 199999);
  EXPECT_EQ(s.time_table[199999], 199999.0);
  // Column k holds step k + 1's value; columns past the table would have
  // run into element 2's row.
  EXPECT_EQ(s.stress_table[0][199999], 200000.0F);
  EXPECT_EQ(s.stress_table[1][0], -1.0F);
  EXPECT_EQ(s.stress_table[1][199999], -200000.0F);
  EXPECT_EQ(r.status, 0);
  const std::string& one = r.files.at("1_stressTH.dat");
  ASSERT_EQ(one.size(), 199999U * 29U);
  EXPECT_EQ(one.substr(0, 29), row(" 1.0000e+000", " 1.0000e+000"));
  EXPECT_EQ(one.substr(one.size() - 29), row(" 2.0000e+005", " 2.0000e+005"));  // 199999
  EXPECT_EQ(r.files.at("2_stressTH.dat").substr(0, 29), row(" 1.0000e+000", "-1.0000e+000"));
}

}  // namespace
}  // namespace corvel::test
