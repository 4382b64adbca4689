#pragma once
// The whole run, from banner to last file. The console streams and the
// directory the listing and the files are found in are passed in, so that a
// test, a benchmark or a fuzzer drives a complete run in-process.

#include <cstdio>

#include "run/extraction_state.hpp"

namespace corvel {

struct RunIo {
  std::FILE* console_in;
  std::FILE* console_out;
  int directory_fd;  // the run's current directory, e.g. AT_FDCWD
  // One read of the listing for the time step and sample passes where both
  // start at its first byte; tests turn it off to compare with two reads.
  bool share_reads = true;
  // A helper thread reads the next block of the listing meanwhile.
  bool read_ahead = true;
};

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;

// Runs one extraction from the state's start values, whatever ran before in
// the process. Returns the exit status: failure when the listing or any time
// history file could not be opened or written.
int run_extraction(ExtractionState& state, const RunIo& io);

}  // namespace corvel
