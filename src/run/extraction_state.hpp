#pragma once
// The one record of a run: every table, window, slot and counter the scans,
// passes and the writer share. The tables are fixed-capacity and live in
// static storage (see process_state), so a run allocates nothing and the 80 MB
// stress table costs only the pages a run writes.

#include <cstdint>
#include <cstdio>

#include "listing/listing_stream.hpp"
#include "run/limits.hpp"

namespace corvel {

// A line as read: at most 199 bytes and a terminator. size is the length of
// its text, which ends at the first NUL byte even when the read ran on.
struct Line {
  char text[kLineSize + kCopySlack];
  std::uint8_t size;
};

struct Token {
  char text[kTokenSize];
  std::uint8_t size;
};

// Positions of the element list by id, so that a row pair's id finds every
// position holding it with one probe instead of a walk over the list.
inline constexpr int kIndexSlots = 256;  // a power of two, over twice kMaxElements
struct ElementIndex {
  std::int32_t id[kIndexSlots];
  std::uint64_t positions[kIndexSlots][2];  // bit e set: position e holds the id
  bool used[kIndexSlots];
};

// The time step pass as it reads: its own token slots and read count. It
// either drives its own reads or rides on the sample pass's reads of the same
// bytes (see time_step_pass.cpp); either way every read goes through it while
// it is active.
struct TimeStepRide {
  bool active;
  std::int32_t reads;
  FragmentFilter filter{'='};
  Token slots[kTokenSlots + 1];
};

// The time history file being written, with its one write buffer.
struct OutputStream {
  int fd = -1;
  bool failed = false;
  std::size_t used = 0;
  char buffer[kWriteBufferSize];
};

// How one time history file went; the run reports each in list order.
enum class FileOutcome : std::uint8_t { kWritten, kNotOpened, kNotWritten };

struct ExtractionState {
  // Where a run talks and where its files live; set by run_extraction.
  std::FILE* console_in = nullptr;
  std::FILE* console_out = nullptr;
  int directory_fd = -1;

  char input_name[kNameChars + 1];
  ListingStream input_stream;
  std::int32_t axis_code;
  std::int32_t reference_node;

  std::int32_t next_time_slot;
  std::int32_t time_count;
  std::int32_t element_list[kMaxElements];
  std::int32_t element_count;

  ElementIndex element_index;  // built by the sample pass from the element list
  TimeStepRide time_step_ride;
  // Slots the sample pass has split into (bit n for slot n), and whether it
  // stored samples whose slot 8 must come from the time step pass's last
  // split, not known yet when they were read.
  std::uint32_t sample_slots_split;
  bool samples_pending;

  Line line_window[kWindowLines];
  Token token_slots[kTokenSlots + 1];  // index 0 unused so slot n is token_slots[n]
  std::int32_t scan_counter;

  char output_name[kOutputNameSize];
  OutputStream output_stream;
  bool output_failed;  // some time history file could not be written
  // The second writer's own name and stream, and the outcomes of the files
  // it wrote (see time_history_writer.cpp).
  char helper_output_name[kOutputNameSize];
  OutputStream helper_output_stream;
  FileOutcome file_outcomes[kMaxElements];

  // One past the highest stress column any run wrote, so that the next run in
  // the same process clears only what the last one touched.
  std::int32_t stress_columns_written;

  double time_table[kTimeSlots];
  float stress_table[kMaxElements][kSampleColumns];
  // Each time value's output field, formatted once for all files of a run.
  char time_fields[kTimeSlots][kNumberFieldWidth];
};

// The process's one state, zero-initialised static storage.
ExtractionState& process_state();

// Puts every field back to its start value, clearing only the table cells an
// earlier run in this process can have written.
void reset_extraction_state(ExtractionState& state);

inline Line& line(ExtractionState& state, int n) {
  return state.line_window[n];
}

}  // namespace corvel
