#include "output/time_history_writer.hpp"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>

#include "output/number_field.hpp"
#include "run/console.hpp"

namespace corvel {

namespace {

constexpr std::string_view kNameSuffix = "_stressTH.dat";
// " %12.4e %12.4e \n" with the line end written as CR LF.
constexpr std::size_t kRowSize = 1 + kNumberFieldWidth + 1 + kNumberFieldWidth + 1 + 2;

void format_output_name(ExtractionState& state, std::int32_t id) {
  char* end = std::to_chars(state.output_name, state.output_name + kOutputNameSize, id).ptr;
  std::memcpy(end, kNameSuffix.data(), kNameSuffix.size());
  end[kNameSuffix.size()] = '\0';
}

bool open_output(OutputStream& out, int directory_fd, const char* name) {
  out.fd = ::openat(directory_fd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  out.failed = false;
  out.used = 0;
  return out.fd >= 0;
}

void flush_output(OutputStream& out) {
  std::size_t done = 0;
  while (!out.failed && done < out.used) {
    const ssize_t wrote = ::write(out.fd, out.buffer + done, out.used - done);
    if (wrote > 0) {
      done += static_cast<std::size_t>(wrote);
    } else if (wrote == 0 || errno != EINTR) {
      out.failed = true;
    }
  }
  out.used = 0;
}

// False when any write or the close failed: the file is then not whole.
bool close_output(OutputStream& out) {
  flush_output(out);
  if (::close(out.fd) != 0) out.failed = true;
  out.fd = -1;
  return !out.failed;
}

void write_row(OutputStream& out, const char* time_field, float stress) {
  if (out.used + kRowSize > kWriteBufferSize) flush_output(out);
  char* row = out.buffer + out.used;
  row[0] = ' ';
  std::memcpy(row + 1, time_field, kNumberFieldWidth);
  row[1 + kNumberFieldWidth] = ' ';
  format_number_field(static_cast<double>(stress), row + 2 + kNumberFieldWidth);
  std::memcpy(row + 2 + 2 * kNumberFieldWidth, " \r\n", 3);
  out.used += kRowSize;
}

void write_one_file(ExtractionState& state, std::int32_t position) {
  format_output_name(state, state.element_list[position]);
  OutputStream& out = state.output_stream;
  if (!open_output(out, state.directory_fd, state.output_name)) {
    say(state.console_out, " Failed to open file: %s \n", state.output_name);
    state.output_failed = true;
    return;
  }
  say(state.console_out, " File: %s opened. \n", state.output_name);
  const float* stresses = state.stress_table[position];
  for (state.scan_counter = 0; state.scan_counter < state.time_count; ++state.scan_counter) {
    write_row(out, state.time_fields[state.scan_counter], stresses[state.scan_counter]);
  }
  if (!close_output(out)) {
    say(state.console_out, " Failed to write file: %s \n", state.output_name);
    state.output_failed = true;
  }
}

}  // namespace

void write_time_histories(ExtractionState& state) {
  // Time row k is slot k + 1; every file shares these fields.
  for (std::int32_t k = 0; k < state.time_count; ++k) {
    format_number_field(state.time_table[k + 1], state.time_fields[k]);
  }
  for (std::int32_t e = 0; e < state.element_count; ++e)
    write_one_file(state, e);
}

}  // namespace corvel
