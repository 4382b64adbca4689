#include "run/run_sequence.hpp"

#include <string>

#include "listing/passes.hpp"
#include "output/time_history_writer.hpp"
#include "run/console.hpp"

namespace corvel {

namespace {

// The listing name, refused when the word is longer than the name field. A
// name with a NUL byte is refused too: it would open a different file.
bool open_input(ExtractionState& state, bool read_ahead) {
  const std::size_t length = read_word(state.console_in, state.input_name, kNameChars);
  const bool usable =
      length <= kNameChars && std::char_traits<char>::length(state.input_name) == length;
  return usable &&
         open_listing(state.input_stream, state.directory_fd, state.input_name, read_ahead);
}

void ask(ExtractionState& state, std::string_view question) {
  say(state.console_out, question);
  std::fflush(state.console_out);
}

}  // namespace

int run_extraction(ExtractionState& state, const RunIo& io) {
  reset_extraction_state(state);
  state.console_in = io.console_in;
  state.console_out = io.console_out;
  state.directory_fd = io.directory_fd;
  state.time_table[0] = kTimeFloor;

  say(state.console_out, "\n\n corvel  ver 1.1    08/20/2004");
  say(state.console_out, "\n\n by the corvel developers \n contact: see README.md \n");

  ask(state, "\n\n Enter input filename \n");
  if (!open_input(state, io.read_ahead)) {
    say(state.console_out, " Failed to open file: %s \n", state.input_name);
    std::fflush(state.console_out);
    return kExitFailure;
  }
  say(state.console_out, " File: %s opened. \n", state.input_name);

  say(state.console_out, "\n Select excitation axis \n");
  ask(state, "  1=X  2=Y  3=Z \n");
  read_decimal(state.console_in, state.axis_code);

  scan_node_table(state);

  ask(state, "\n What is the reference node? \n");
  read_decimal(state.console_in, state.reference_node);

  scan_element_list(state);
  say(state.console_out, "\n ref 1 \n");
  // Both passes read the listing from its first byte when the element list
  // scan rewound it: then one read of the file serves them both.
  if (io.share_reads && state.input_stream.at_start) {
    begin_time_steps(state);
    collect_stress_samples(state);
    finish_time_steps(state);
  } else {
    read_time_steps(state);
    collect_stress_samples(state);
  }
  say(state.console_out, "\n\n ref 2    i=%ld \n", state.scan_counter);
  write_time_histories(state);
  std::fflush(state.console_out);

  close_listing(state.input_stream);
  return state.output_failed ? kExitFailure : kExitSuccess;
}

}  // namespace corvel
