#include "listing/fragments.hpp"
#include "listing/listing_reader.hpp"
#include "listing/model_table.hpp"
#include "listing/passes.hpp"
#include "run/console.hpp"

namespace corvel {

namespace {

// A node row: node id, a second integer, six reals. Only the id is used; the
// rest is read to consume the row, which may run over several lines.
constexpr FieldKind kNodeRow[] = {FieldKind::kInteger, FieldKind::kInteger, FieldKind::kReal,
                                  FieldKind::kReal,    FieldKind::kReal,    FieldKind::kReal,
                                  FieldKind::kReal,    FieldKind::kReal};
constexpr int kNodeRowFields = static_cast<int>(sizeof kNodeRow / sizeof kNodeRow[0]);

void echo_node_rows(ExtractionState& state) {
  std::int32_t nodes = 0;
  FieldValue fields[kNodeRowFields];
  while (read_fields(state, kNodeRow, kNodeRowFields, fields) >= 1) {
    say(state.console_out, "\n %ld", fields[0].integer);
    ++nodes;
  }
  say(state.console_out, "\n\n %d nodes detected \n\n", nodes);
}

}  // namespace

void scan_node_table(ExtractionState& state) {
  say(state.console_out, "\n\n nodes \n");
  // The stream is left where the row loop stopped: the element list scan
  // starts there.
  if (find_model_table(state, kAccelerationHeader)) echo_node_rows(state);
}

}  // namespace corvel
