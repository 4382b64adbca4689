#pragma once
// One two-column file per position of the element list: time against that
// element's stress, one row per collected time value, every line ending in
// CR LF.

#include "run/extraction_state.hpp"

namespace corvel {

// Writes "<id>_stressTH.dat" for every listed element into the run's
// directory. A file that cannot be opened or written is reported and the
// others are still written; state.output_failed records it.
void write_time_histories(ExtractionState& state);

}  // namespace corvel
