#pragma once
// The search both model scans begin with: the window moves over the listing
// until its newest line holds the table's header, which is echoed; the line
// two above it is split, and the table's three heading lines are skipped.

#include <string_view>

#include "run/extraction_state.hpp"

namespace corvel {

// Resets the scan counter and searches for `header`. True with the stream at
// the table's first row; false at end of file or after the scans' read limit.
bool find_model_table(ExtractionState& state, std::string_view header);

}  // namespace corvel
