#include "listing/model_table.hpp"

#include "listing/listing_reader.hpp"
#include "run/console.hpp"

namespace corvel {

namespace {

constexpr int kHeadingLines = 3;

}  // namespace

bool find_model_table(ExtractionState& state, std::string_view header) {
  for (state.scan_counter = 0; state.scan_counter < kModelScanReads; ++state.scan_counter) {
    if (!advance_window(state)) return false;
    if (contains(line(state, 3), header)) {
      say(state.console_out, "\n %s \n", text_of(line(state, 3)));
      // Nothing is taken from these slots here; the split only sets what
      // later splits of shorter lines leave in place.
      split_row(state, line(state, 1), kHeadingSplit);
      for (int heading = 0; heading < kHeadingLines; ++heading)
        read_line(state, line(state, 0));
      return true;
    }
  }
  return false;
}

}  // namespace corvel
