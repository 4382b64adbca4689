#include "output/time_history_writer.hpp"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>
#include <system_error>
#include <thread>

#include "output/number_field.hpp"
#include "run/console.hpp"

namespace corvel {

namespace {

constexpr std::string_view kNameSuffix = "_stressTH.dat";
// " %12.4e %12.4e \n" with the line end written as CR LF.
constexpr std::size_t kRowSize = 1 + kNumberFieldWidth + 1 + kNumberFieldWidth + 1 + 2;

void format_output_name(char* name, std::int32_t id) {
  char* end = std::to_chars(name, name + kOutputNameSize, id).ptr;
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

// Reads only the tables, which nothing changes while files are written, so
// two writers can run at once, each with its own name and stream.
FileOutcome write_one_file(const ExtractionState& state, std::int32_t position, char* name,
                           OutputStream& out) {
  format_output_name(name, state.element_list[position]);
  if (!open_output(out, state.directory_fd, name)) return FileOutcome::kNotOpened;
  const float* stresses = state.stress_table[position];
  for (std::int32_t row = 0; row < state.time_count; ++row)
    write_row(out, state.time_fields[row], stresses[row]);
  return close_output(out) ? FileOutcome::kWritten : FileOutcome::kNotWritten;
}

void report(ExtractionState& state, std::int32_t position, FileOutcome outcome) {
  format_output_name(state.output_name, state.element_list[position]);
  if (outcome == FileOutcome::kNotOpened) {
    say(state.console_out, " Failed to open file: %s \n", state.output_name);
    state.output_failed = true;
    return;
  }
  say(state.console_out, " File: %s opened. \n", state.output_name);
  if (outcome == FileOutcome::kNotWritten) {
    say(state.console_out, " Failed to write file: %s \n", state.output_name);
    state.output_failed = true;
  }
}

// Below this many rows in all, starting a thread costs more than it saves.
constexpr std::int64_t kHelperWriterRows = 4096;

// Two writers may share the files only if no two positions name the same
// file: the list may hold an id twice, and its file is then written twice.
bool names_distinct(const ExtractionState& state) {
  for (std::int32_t i = 0; i < state.element_count; ++i) {
    for (std::int32_t j = 0; j < i; ++j) {
      if (state.element_list[i] == state.element_list[j]) return false;
    }
  }
  return true;
}

}  // namespace

void write_time_histories(ExtractionState& state) {
  // Time row k is slot k + 1; every file shares these fields.
  for (std::int32_t k = 0; k < state.time_count; ++k) {
    format_number_field(state.time_table[k + 1], state.time_fields[k]);
  }
  // Formatting and writing the files is most of this step, and the files
  // are independent: a helper thread writes the second half of the list
  // while this one writes the first. Where no thread can be had, this one
  // writes them all.
  const std::int32_t count = state.element_count;
  std::int32_t helper_from = count;
  std::thread helper;
  const bool worth_a_thread = std::int64_t{count} * state.time_count >= kHelperWriterRows;
  if (count >= 2 && worth_a_thread && names_distinct(state)) {
    helper_from = count / 2;
    try {
      helper = std::thread([&state, helper_from, count] {
        for (std::int32_t p = helper_from; p < count; ++p) {
          state.file_outcomes[p] =
              write_one_file(state, p, state.helper_output_name, state.helper_output_stream);
        }
      });
    } catch (const std::system_error&) {
      helper_from = count;
    }
  }
  for (std::int32_t p = 0; p < helper_from; ++p)
    report(state, p, write_one_file(state, p, state.output_name, state.output_stream));
  if (helper.joinable()) helper.join();
  for (std::int32_t p = helper_from; p < count; ++p)
    report(state, p, state.file_outcomes[p]);
}

}  // namespace corvel
