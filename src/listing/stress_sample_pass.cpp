#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <limits>

#include "listing/conversions.hpp"
#include "listing/fragments.hpp"
#include "listing/listing_reader.hpp"
#include "listing/passes.hpp"
#include "run/console.hpp"

namespace corvel {

namespace {

bool holds_rejected_capital(std::string_view text) {
  return text.find(kRejectS) != std::string_view::npos ||
         text.find(kRejectF) != std::string_view::npos;
}

// Slot 8 as a stress. While the time step pass rides along, a slot this pass
// has not split into yet is not known: the sample is stored as NaN, which no
// conversion yields, and filled in when that pass ends.
float sample_value(ExtractionState& state) {
  if (!(state.sample_slots_split >> 8 & 1U) && state.time_step_ride.active) {
    state.samples_pending = true;
    return std::numeric_limits<float>::quiet_NaN();
  }
  return to_single(to_real(text_of(state.token_slots[8])));
}

// Copies a line viewed in the read buffer into `keep` before the next read
// refills the buffer under it.
std::string_view keep_before_next_read(ExtractionState& state, std::string_view text, Line& keep) {
  if (text.data() == keep.text || next_read_in_buffer(state.input_stream)) return text;
  std::memcpy(keep.text, text.data(), text.size());
  keep.text[text.size()] = '\0';
  keep.size = static_cast<std::uint8_t>(text.size());
  return text_of(keep);
}

static_assert(kMaxElements <= 128, "positions are two 64-bit masks");

std::uint32_t index_slot(std::int32_t id) {
  return (static_cast<std::uint32_t>(id) * 2654435761U) >> 24;  // 8 bits: kIndexSlots
}

void build_element_index(ExtractionState& state) {
  ElementIndex& index = state.element_index;
  std::fill(std::begin(index.used), std::end(index.used), false);
  for (std::int32_t e = 0; e < state.element_count; ++e) {
    const std::int32_t id = state.element_list[e];
    std::uint32_t slot = index_slot(id);
    while (index.used[slot] && index.id[slot] != id)
      slot = (slot + 1) % kIndexSlots;
    if (!index.used[slot]) {
      index.used[slot] = true;
      index.id[slot] = id;
      index.positions[slot][0] = index.positions[slot][1] = 0;
    }
    index.positions[slot][e / 64] |= std::uint64_t{1} << (e % 64);
  }
}

// Stores the value at every position holding the id, in the current column;
// matching the last position moves the column on. The column has no bound of
// its own; 64 bits keep it from wrapping on any listing, and columns past the
// table are counted but not stored.
void store_sample(ExtractionState& state, std::int32_t id, float value, std::int64_t& column) {
  const ElementIndex& index = state.element_index;
  std::uint32_t slot = index_slot(id);
  while (index.used[slot] && index.id[slot] != id)
    slot = (slot + 1) % kIndexSlots;
  if (!index.used[slot]) return;
  if (column < kSampleColumns) {
    for (int word = 0; word < 2; ++word) {
      for (std::uint64_t bits = index.positions[slot][word]; bits != 0; bits &= bits - 1) {
        const int e = word * 64 + std::countr_zero(bits);
        state.stress_table[e][column] = value;
      }
    }
    if (column >= state.stress_columns_written) {
      state.stress_columns_written = static_cast<std::int32_t>(column + 1);
    }
  }
  const std::int32_t last = state.element_count - 1;
  if ((index.positions[slot][last / 64] >> (last % 64)) & 1U) ++column;
}

// One bar stress table, from the line after its header to a "MAXIMUM" line or
// end of file. Its lines are not counted. Nothing after this pass looks at
// the lines it read, so they are tested in place.
void collect_table(ExtractionState& state, std::int64_t& column) {
  std::string_view first, second;
  while (read_line_view(state, line(state, 0), first)) {
    const LineFlags flags = line_flags(state.input_stream, first);
    if (flags.rare) {
      if (contains(first, kTableEnd)) return;
      if (holds_rejected_capital(first)) continue;
    }
    if (!flags.numeric) continue;
    first = keep_before_next_read(state, first, line(state, 0));
    if (!read_line_view(state, line(state, 1), second)) return;
    if (!line_flags(state.input_stream, second).numeric) continue;
    const int tokens = split_row(state, first, row_masks(state.input_stream, first), kRowSplit);
    state.sample_slots_split |= ((2U << tokens) - 1) & ~1U;  // slots 1 to tokens
    const std::int32_t id = to_integer(text_of(state.token_slots[1]));
    store_sample(state, id, sample_value(state), column);
  }
}

void collect_from_later_tables(ExtractionState& state) {
  say(state.console_out, "\n bar stress \n");
  build_element_index(state);
  std::int64_t column = 0;
  std::string_view l;
  FragmentFilter filter{kBarStressHeader[kBarStressHeaderRare]};
  for (state.scan_counter = 0; state.scan_counter < kCollectReads; ++state.scan_counter) {
    if (!read_line_view(state, line(state, 0), l)) return;
    if (filter.may_hold(state.input_stream, l) && contains(l, kBarStressHeader)) {
      collect_table(state, column);
    }
  }
}

}  // namespace

void collect_stress_samples(ExtractionState& state) {
  Line& l = line(state, 0);
  for (state.scan_counter = 0; state.scan_counter < kLocateReads; ++state.scan_counter) {
    // The locate step does not stop at end of file: it keeps testing the last
    // line read until its count runs out. That line did not hold the header
    // (or the collection would have run), so the count can jump to its end.
    const bool read = read_line(state, l);
    if (contains(l, kBarStressHeader)) {
      collect_from_later_tables(state);
      return;
    }
    if (!read) state.scan_counter = kLocateReads - 1;
  }
}

}  // namespace corvel
