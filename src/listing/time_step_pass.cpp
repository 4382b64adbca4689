#include "listing/conversions.hpp"
#include "listing/fragments.hpp"
#include "listing/listing_reader.hpp"
#include "listing/passes.hpp"

namespace corvel {

namespace {

void keep_if_increasing(ExtractionState& state, double time) {
  // A full table drops further values, like any value that does not increase.
  if (state.next_time_slot >= kTimeSlots) return;
  if (!(time > state.time_table[state.next_time_slot - 1])) return;
  state.time_table[state.next_time_slot++] = time;
  ++state.time_count;
}

}  // namespace

void read_time_steps(ExtractionState& state) {
  // Nothing after this pass looks at its lines, so they are tested in place.
  std::string_view l;
  FragmentFilter filter{kTimeStepMark.back()};  // "=" is rare in a listing
  for (state.scan_counter = 0; state.scan_counter < kTimeStepReads; ++state.scan_counter) {
    if (!read_line_view(state, line(state, 0), l)) break;
    if (filter.may_hold(state.input_stream, l) && contains(l, kTimeStepMark)) {
      split_row(state, l, kRowSplit);
      keep_if_increasing(state, to_real(text_of(state.token_slots[7])));
    }
  }
  rewind_listing(state.input_stream);
}

}  // namespace corvel
