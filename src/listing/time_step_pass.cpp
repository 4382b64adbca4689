#include <algorithm>
#include <cmath>
#include <iterator>

#include "listing/conversions.hpp"
#include "listing/fragments.hpp"
#include "listing/listing_reader.hpp"
#include "listing/passes.hpp"

// The time step pass tests every read, up to its limit, for a time step line.
// When it starts at the listing's first byte, as the sample pass after it
// does, it need not read the listing itself: it rides on the sample pass's
// reads of the same bytes, which halves the reading of a run. The two passes
// share only the token slots; the sample pass sees them as the time step
// pass leaves them, which is known only at its end, so a sample that needs
// such a slot before then is stored as pending and filled in at the end.

namespace corvel {

namespace {

void keep_if_increasing(ExtractionState& state, double time) {
  // A full table drops further values, like any value that does not increase.
  if (state.next_time_slot >= kTimeSlots) return;
  if (!(time > state.time_table[state.next_time_slot - 1])) return;
  state.time_table[state.next_time_slot++] = time;
  ++state.time_count;
}

void fill_pending_samples(ExtractionState& state, float value) {
  for (std::int32_t e = 0; e < state.element_count; ++e) {
    float* row = state.stress_table[e];
    std::replace_if(
        row, row + state.stress_columns_written, [](float v) { return std::isnan(v); }, value);
  }
  state.samples_pending = false;
}

}  // namespace

void begin_time_steps(ExtractionState& state) {
  TimeStepRide& ride = state.time_step_ride;
  ride.active = true;
  ride.reads = 0;
  ride.filter = FragmentFilter{kTimeStepMark.back()};  // "=" is rare in a listing
  std::copy(std::begin(state.token_slots), std::end(state.token_slots), ride.slots);
  state.sample_slots_split = 0;
  state.samples_pending = false;
}

void take_time_step_line(ExtractionState& state, std::string_view l) {
  if (!contains(l, kTimeStepMark)) return;
  TimeStepRide& ride = state.time_step_ride;
  split_tokens(ride.slots, l, line_masks(l), kRowSplit);
  keep_if_increasing(state, to_real(text_of(ride.slots[7])));
}

void finish_time_steps(ExtractionState& state) {
  TimeStepRide& ride = state.time_step_ride;
  if (!ride.active) return;
  ride.active = false;
  // Slots the sample pass has not split into yet hold what this pass left.
  for (int slot = 1; slot <= kTokenSlots; ++slot) {
    if (!(state.sample_slots_split >> slot & 1U)) state.token_slots[slot] = ride.slots[slot];
  }
  if (state.samples_pending) {
    fill_pending_samples(state, to_single(to_real(text_of(ride.slots[8]))));
  }
}

void read_time_steps(ExtractionState& state) {
  begin_time_steps(state);
  // Nothing after this pass looks at its lines, so they are read in place;
  // each read goes through ride_time_step, which ends the pass at its limit.
  std::string_view l;
  while (state.time_step_ride.active && read_line_view(state, line(state, 0), l)) {
  }
  state.scan_counter = state.time_step_ride.reads;
  finish_time_steps(state);
  rewind_listing(state.input_stream);
}

}  // namespace corvel
