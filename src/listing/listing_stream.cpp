#include "listing/listing_stream.hpp"

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <system_error>
#include <thread>

namespace corvel {

namespace {

// Reads the next block at the file's offset: a size of 0 at end of file or
// on a read error, which a listing reader treats alike.
void read_block(int fd, ReadBlock& block) {
  ssize_t got = 0;
  do {
    got = ::read(fd, block.bytes, kReadBufferSize);  // never into the slack
  } while (got < 0 && errno == EINTR);
  block.size = got > 0 ? static_cast<std::size_t>(got) : 0;
  block.has_nul = block.size > 0 && classify_bytes(block.bytes, block.size, block.classes);
}

// --- Read-ahead. The run and its helper hand the spare block back and forth
// through `spare`: the run sets kWanted, the helper reads the next block into
// it and sets kReady, the run takes it as current and wants the old one
// filled. The run touches the file (offset, descriptor) only while no read is
// wanted. Each side spins a while before it sleeps: a block takes the run
// tens of microseconds, so the other side is usually back by then, and no
// wake-up costs a system call.

void cpu_relax() {
#if defined(__x86_64__)
  __builtin_ia32_pause();
#endif
}

constexpr int kSpins = 4000;  // tens of microseconds of pauses

void wait_until(std::atomic<int>& spare, int want, std::atomic<bool>& asleep) {
  for (int i = 0; i < kSpins; ++i) {
    if (spare.load(std::memory_order_acquire) == want) return;
    cpu_relax();
  }
  for (;;) {
    // Either the other side sees `asleep` and wakes this one, or this one
    // sees its store before sleeping.
    asleep.store(true);
    const int seen = spare.load();
    if (seen != want) spare.wait(seen);
    asleep.store(false);
    if (spare.load() == want) return;
  }
}

void set_spare(std::atomic<int>& spare, int value, const std::atomic<bool>& other_asleep) {
  spare.store(value);
  if (other_asleep.load()) spare.notify_all();
}

ReadBlock& spare_block(ListingStream& s) {
  return s.blocks[1 - s.current];
}

[[noreturn]] void serve_read_ahead(ListingStream* s) {
  ReadAhead& a = s->ahead;
  for (;;) {
    wait_until(a.spare, ReadAhead::kWanted, a.helper_asleep);
    read_block(s->fd, spare_block(*s));
    set_spare(a.spare, ReadAhead::kReady, a.reader_asleep);
  }
}

// A helper only pays where a second processor is free to run it; spinning
// for one on a single processor would only take turns with the run.
bool may_read_ahead() {
  cpu_set_t cpus;
  return ::sched_getaffinity(0, sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) >= 2;
}

void start_read_ahead(ListingStream& s, bool wanted) {
  if (wanted && !s.ahead.started && may_read_ahead()) {
    try {
      std::thread(serve_read_ahead, &s).detach();  // serves the stream for the process's life
      s.ahead.started = true;
    } catch (const std::system_error&) {
      // No thread: the run reads each block itself.
    }
  }
  s.ahead.in_use = wanted && s.ahead.started;
}

// No read is in flight and no block is waiting when this returns.
void settle_read_ahead(ListingStream& s) {
  if (!s.ahead.in_use) return;
  if (s.ahead.spare.load() == ReadAhead::kWanted) {
    wait_until(s.ahead.spare, ReadAhead::kReady, s.ahead.reader_asleep);
  }
  s.ahead.spare.store(ReadAhead::kIdle);
}

void want_next_block(ListingStream& s) {
  set_spare(s.ahead.spare, ReadAhead::kWanted, s.ahead.helper_asleep);
}

// The next block of the file, read by the helper or, without one, here.
const ReadBlock& next_block(ListingStream& s) {
  if (!s.ahead.in_use) {
    read_block(s.fd, s.blocks[s.current]);
    return s.blocks[s.current];
  }
  if (s.ahead.spare.load() == ReadAhead::kIdle) want_next_block(s);
  wait_until(s.ahead.spare, ReadAhead::kReady, s.ahead.reader_asleep);
  s.current = 1 - s.current;
  s.ahead.spare.store(ReadAhead::kIdle);
  // The block just left is no longer viewed: read on into it.
  if (s.blocks[s.current].size > 0) want_next_block(s);
  return s.blocks[s.current];
}

}  // namespace

bool open_listing(ListingStream& stream, int directory_fd, const char* name, bool read_ahead) {
  close_listing(stream);
  // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it is
  // refused below anyway, and has no effect on regular files.
  int fd = ::openat(directory_fd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  stream.fd = fd;
  stream.pos = stream.end = 0;
  stream.at_eof = false;
  stream.at_start = true;
  // Handing blocks over costs more than it saves on a listing of a few.
  constexpr off_t kReadAheadFrom = 4 * static_cast<off_t>(kReadBufferSize);
  start_read_ahead(stream, read_ahead && info.st_size >= kReadAheadFrom);
  return true;
}

void close_listing(ListingStream& stream) {
  settle_read_ahead(stream);
  if (stream.fd >= 0) ::close(stream.fd);
  stream.fd = -1;
  stream.pos = stream.end = 0;
  stream.at_eof = false;
}

bool refill(ListingStream& stream) {
  if (stream.pos < stream.end) return true;
  if (stream.at_eof || stream.fd < 0) return false;
  stream.at_start = false;
  const ReadBlock& block = next_block(stream);
  if (block.size == 0) {
    stream.pos = stream.end = 0;
    stream.at_eof = true;
    return false;
  }
  stream.buffer = block.bytes;
  stream.classes = block.classes;
  stream.pos = 0;
  stream.end = block.size;
  stream.block_has_nul = block.has_nul;
  ++stream.fills;
  return true;
}

void rewind_listing(ListingStream& stream) {
  settle_read_ahead(stream);
  if (stream.fd >= 0) ::lseek(stream.fd, 0, SEEK_SET);
  stream.pos = stream.end = 0;
  stream.at_eof = false;
  stream.at_start = true;
}

}  // namespace corvel
