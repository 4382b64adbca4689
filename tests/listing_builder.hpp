#pragma once
// Small listing fixtures in the solver's line-printer layout, built from
// parts so that each test shows only what it varies.

#include <string>
#include <utility>
#include <vector>

namespace corvel::test {

inline std::string time_step_line(const std::string& time) {
  return "      TIME STEP =      1    TIME =  " + time + "\n";
}

inline const std::string kPageHeading =
    "1    BRIDGE DECK TRANSIENT RUN                        PAGE   1\n";

inline std::string acceleration_table(const std::vector<int>& nodes) {
  std::string t =
      "0\n"
      "                         A C C E L E R A T I O N    V E C T O R\n"
      " \n"
      "      POINT ID.   TYPE     T1      T2      T3      R1      R2      R3\n"
      " \n";
  for (int node : nodes) {
    t += "        " + std::to_string(node) +
         "      0   1.0E-01  2.0E-01 -3.0E-01  0.0E+00  0.0E+00  0.0E+00\n";
  }
  return t;
}

inline const std::string kBarStressHeaderLine =
    "                 S T R E S S E S   I N   B A R   E L E M E N T S          ( C B A R )\n";

// The first line of a pair carries the id and, as its eighth token, the value.
inline std::string row_pair(const std::string& id, const std::string& value) {
  return "  " + id + "   1.0E+00  2.0E+00  3.0E+00  4.0E+00  5.0E+00  6.0E+00  " + value +
         "  7.0E+00\n"
         "           -1.0E+00 -2.0E+00 -3.0E+00 -4.0E+00\n";
}

using Rows = std::vector<std::pair<std::string, std::string>>;

inline std::string bar_stress_table(const Rows& rows, bool with_maximum = true) {
  std::string t = "     SUBCASE 1\n" + kBarStressHeaderLine +
                  "  ELEMENT     END-A    AXIAL\n"
                  "    ID.       POINT    STRESS\n"
                  " \n";
  for (const auto& [id, value] : rows)
    t += row_pair(id, value);
  if (with_maximum) t += "  MAXIMUM  1.0E+00\n";
  return t;
}

}  // namespace corvel::test
