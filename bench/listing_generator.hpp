#pragma once
// Realistic transient analysis listings, deterministic from a seed: a
// preamble, then per time step a "TIME STEP =" line, an acceleration table
// and a bar stress table, paginated with the table header repeated on
// continuation pages. Used by the benchmark, the tests and the example.

#include <cstdint>
#include <cstdio>

namespace corvel::bench {

struct ListingOptions {
  int steps = 10;
  int bars = 5;  // at most 100 are extracted
  int nodes = 4;
  std::uint64_t seed = 1;
  int page_lines = 55;
  long max_lines = 0;  // stop before a step would pass this many lines; 0 = no limit
  double time_step = 0.005;
};

struct ListingSummary {
  long lines = 0;
  long bytes = 0;
  int steps = 0;
};

// Writes the listing to `out`.
ListingSummary write_listing(std::FILE* out, const ListingOptions& options);

}  // namespace corvel::bench
