// corvel: bar stress time histories from a transient analysis listing.
// Asks for the listing on the console, writes one file per bar element into
// the current directory.

#include <fcntl.h>
#include <cstdio>

#include "run/run_sequence.hpp"

int main() {
  const corvel::RunIo io{stdin, stdout, AT_FDCWD};
  return corvel::run_extraction(corvel::process_state(), io);
}
