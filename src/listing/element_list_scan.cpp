#include "listing/conversions.hpp"
#include "listing/fragments.hpp"
#include "listing/listing_reader.hpp"
#include "listing/model_table.hpp"
#include "listing/passes.hpp"
#include "run/console.hpp"

namespace corvel {

namespace {

// Row pairs of the table up to its end line; returns the ids appended. A full
// list still splits each accepted row, so the token slots end as they would.
std::int32_t list_row_pairs(ExtractionState& state) {
  std::int32_t appended = 0;
  Line& first = line(state, 0);
  Line& second = line(state, 1);
  while (read_line(state, first)) {
    if (contains(first, kElementListEnd) || contains(first, kTableEnd)) break;
    if (!is_numeric_row(first)) continue;
    if (!read_line(state, second)) break;
    if (!is_numeric_row(second)) continue;
    split_row(state, first, kRowSplit);
    if (state.element_count >= kMaxElements) continue;
    const std::int32_t id = to_integer(text_of(state.token_slots[1]));
    say(state.console_out, " %ld \n", id);
    state.element_list[state.element_count++] = id;
    ++appended;
  }
  return appended;
}

}  // namespace

void scan_element_list(ExtractionState& state) {
  say(state.console_out, "\n\n elements \n");
  // Without a table the stream stays where the search stopped.
  if (!find_model_table(state, kBarStressHeader)) return;
  const std::int32_t appended = list_row_pairs(state);
  say(state.console_out, "\n\n %d elements detected \n\n", appended);
  rewind_listing(state.input_stream);
}

}  // namespace corvel
