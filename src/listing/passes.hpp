#pragma once
// The two model scans and the two passes over time, called in this order by
// the run. They meet only through the state and the position in which each
// leaves the shared input stream; the time step pass may also ride on the
// sample pass's reads of the same bytes (time_step_pass.cpp).

#include <string_view>

#include "run/extraction_state.hpp"

namespace corvel {

// Echoes the node ids of the first acceleration table; leaves the stream just
// behind its rows.
void scan_node_table(ExtractionState& state);

// Builds the element list from the next bar stress table; rewinds only when
// it found one.
void scan_element_list(ExtractionState& state);

// Fills the time table with the strictly increasing "TIME STEP =" values;
// always rewinds.
void read_time_steps(ExtractionState& state);

// The same pass riding on another pass's reads: between begin and finish,
// every line read goes to ride_time_step until the pass's read limit.
void begin_time_steps(ExtractionState& state);
void finish_time_steps(ExtractionState& state);
void take_time_step_line(ExtractionState& state, std::string_view l);

// Inline because every read of a run comes here: most lines cannot hold
// "TIME STEP =" at all and cost one comparison.
inline void ride_time_step(ExtractionState& state, std::string_view l) {
  TimeStepRide& ride = state.time_step_ride;
  if (ride.filter.may_hold(state.input_stream, l)) take_time_step_line(state, l);
  if (++ride.reads == kTimeStepReads) finish_time_steps(state);
}

// Skips the first bar stress table and fills the stress table from every
// later one; leaves its last count in the scan counter.
void collect_stress_samples(ExtractionState& state);

}  // namespace corvel
