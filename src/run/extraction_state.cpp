#include "run/extraction_state.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace corvel {

ExtractionState& process_state() {
  static ExtractionState state;
  return state;
}

void reset_extraction_state(ExtractionState& state) {
  close_listing(state.input_stream);
  state.input_name[0] = '\0';
  state.axis_code = 0;
  state.reference_node = 0;

  // Slots past next_time_slot were never written.
  std::fill(state.time_table + 1, state.time_table + std::max(1, state.next_time_slot), 0.0);
  state.time_table[0] = kTimeFloor;
  state.next_time_slot = 1;
  state.time_count = 0;

  // Stores only reach rows below the element count and columns below the mark.
  for (int row = 0; row < state.element_count; ++row) {
    std::fill_n(state.stress_table[row], state.stress_columns_written, 0.0F);
  }
  state.stress_columns_written = 0;
  std::fill(std::begin(state.element_list), std::end(state.element_list), 0);
  state.element_count = 0;

  for (Line& l : state.line_window) {
    l.text[0] = '\0';
    l.size = 0;
  }
  for (Token& t : state.token_slots) {
    t.text[0] = '\0';
    t.size = 0;
  }
  state.scan_counter = 0;
  state.time_step_ride.active = false;
  state.time_step_ride.reads = 0;
  state.sample_slots_split = 0;
  state.samples_pending = false;
  for (char* name : {state.output_name, state.helper_output_name})
    name[0] = '\0';
  for (OutputStream* out : {&state.output_stream, &state.helper_output_stream}) {
    out->fd = -1;
    out->failed = false;
    out->used = 0;
  }
  state.output_failed = false;
}

}  // namespace corvel
