// A whole in-process run on fuzzer bytes. The input's first line holds the
// dialog answers after the listing name; the rest is the listing.

#include <fcntl.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "run/run_sequence.hpp"

namespace {

int scratch_directory() {
  static int fd = [] {
    char pattern[] = "/dev/shm/corvel-fuzz-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    return ::open(pattern, O_RDONLY | O_DIRECTORY);
  }();
  return fd;
}

void write_listing(int dir, const std::uint8_t* data, std::size_t size) {
  const int fd = ::openat(dir, "listing.lis", O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) std::abort();
  while (size > 0) {
    const ssize_t wrote = ::write(fd, data, size);
    if (wrote <= 0) std::abort();
    data += wrote;
    size -= static_cast<std::size_t>(wrote);
  }
  ::close(fd);
}

// Removes what the run wrote, so the directory does not grow over millions of runs.
void remove_outputs(int dir, const corvel::ExtractionState& state) {
  for (int e = 0; e < state.element_count; ++e) {
    const std::string name = std::to_string(state.element_list[e]) + "_stressTH.dat";
    ::unlinkat(dir, name.c_str(), 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const void* newline = std::memchr(data, '\n', size);
  const std::size_t answers_size =
      newline ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(newline) - data) : size;
  std::string answers = "listing.lis ";
  answers.append(reinterpret_cast<const char*>(data), answers_size);
  const std::size_t listing_offset = newline ? answers_size + 1 : size;

  const int dir = scratch_directory();
  write_listing(dir, data + listing_offset, size - listing_offset);

  static std::FILE* sink = std::fopen("/dev/null", "w");
  std::FILE* in = ::fmemopen(answers.data(), answers.size(), "r");
  corvel::ExtractionState& state = corvel::process_state();
  corvel::run_extraction(state, corvel::RunIo{in, sink, dir});
  std::fclose(in);
  remove_outputs(dir, state);
  return 0;
}
