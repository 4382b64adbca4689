#include "listing/conversions.hpp"
#include "listing/fragments.hpp"
#include "listing/listing_reader.hpp"
#include "listing/passes.hpp"
#include "run/console.hpp"

namespace corvel {

namespace {

bool holds_rejected_capital(const Line& l) {
  const std::string_view text = text_of(l);
  return text.find(kRejectS) != std::string_view::npos ||
         text.find(kRejectF) != std::string_view::npos;
}

// The column has no bound of its own; 64 bits keep it from wrapping on any
// listing, and columns past the table are counted but not stored.
void store_sample(ExtractionState& state, std::int32_t id, float value, std::int64_t& column) {
  const std::int32_t last = state.element_count - 1;
  for (std::int32_t e = 0; e < state.element_count; ++e) {
    if (state.element_list[e] != id) continue;
    if (column < kSampleColumns) {
      state.stress_table[e][column] = value;
      if (column >= state.stress_columns_written) {
        state.stress_columns_written = static_cast<std::int32_t>(column + 1);
      }
    }
    if (e == last) ++column;
  }
}

// One bar stress table, from the line after its header to a "MAXIMUM" line or
// end of file. Its lines are not counted.
void collect_table(ExtractionState& state, std::int64_t& column) {
  Line& first = line(state, 0);
  Line& second = line(state, 1);
  while (read_line(state, first)) {
    if (contains(first, kTableEnd)) return;
    if (!is_numeric_row(first) || holds_rejected_capital(first)) continue;
    if (!read_line(state, second)) return;
    if (!is_numeric_row(second)) continue;
    split_row(state, first, kRowSplit);
    const std::int32_t id = to_integer(text_of(state.token_slots[1]));
    store_sample(state, id, to_single(to_real(text_of(state.token_slots[8]))), column);
  }
}

void collect_from_later_tables(ExtractionState& state) {
  say(state.console_out, "\n bar stress \n");
  std::int64_t column = 0;
  Line& l = line(state, 0);
  for (state.scan_counter = 0; state.scan_counter < kCollectReads; ++state.scan_counter) {
    if (!read_line(state, l)) return;
    if (contains(l, kBarStressHeader)) collect_table(state, column);
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
