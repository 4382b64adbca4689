#pragma once
// The one input stream of a run: the listing read as raw bytes through a large
// fixed buffer, each block classified once (byte_classes.hpp), so that a line
// read is a few bit operations and at most a bounded copy, never a library
// call per character or per line.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "listing/byte_classes.hpp"
#include "run/limits.hpp"

namespace corvel {

// One block of the listing as read, with its byte classes.
struct ReadBlock {
  char bytes[kReadBufferSize + kCopySlack];
  ByteClasses classes[class_steps(kReadBufferSize)];
  std::size_t size;
  bool has_nul;
};

// The next block, read while the run works on the current one: copying a
// block out of the page cache and classifying it is a fifth of a run, and a
// second processor can do it meanwhile (listing_stream.cpp).
struct ReadAhead {
  enum : int { kIdle, kWanted, kReady };
  std::atomic<int> spare{kIdle};  // the state of the block not being read
  std::atomic<bool> helper_asleep{false};
  std::atomic<bool> reader_asleep{false};
  bool started = false;  // a helper thread serves this stream
  bool in_use = false;   // and reads ahead for the listing now open
};

struct ListingStream {
  int fd = -1;
  std::size_t pos = 0;         // next unread byte in buffer
  std::size_t end = 0;         // bytes of buffer that hold data
  bool at_eof = false;         // sticky like a stdio end-of-file flag, cleared by rewind
  bool block_has_nul = false;  // lets line reads skip the NUL search on clean blocks
  std::uint64_t fills = 0;     // counts refills, so views and scans know the block changed
  bool at_start = false;       // opened or rewound, and nothing read since
  // The current block: its bytes and classes.
  const char* buffer = blocks[0].bytes;
  const ByteClasses* classes = blocks[0].classes;
  int current = 0;
  ReadBlock blocks[2];
  ReadAhead ahead;
};

// Tells, for lines viewed in the read buffer, whether a line can hold a
// fragment at all: one memchr over the buffer finds the next byte `rare` (a
// byte of the fragment that few lines hold), and every line before it is
// cleared without a search. Lines read into a spill copy always pass.
struct FragmentFilter {
  char rare;
  std::uint64_t fill = ~std::uint64_t{0};
  std::size_t next = 0;  // offset of the next `rare` byte in the buffer, or its end

  bool may_hold(const ListingStream& s, std::string_view l) {
    if (l.data() < s.buffer || l.data() >= s.buffer + s.end) return true;
    const auto from = static_cast<std::size_t>(l.data() - s.buffer);
    if (fill != s.fills || next < from) {
      fill = s.fills;
      const void* hit = std::memchr(l.data(), rare, s.end - from);
      next = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - s.buffer) : s.end;
    }
    return next < from + l.size();
  }
};

// Opens a regular file for reading relative to directory_fd. Anything else
// (a directory, a device, a pipe) is refused: the passes must be able to
// rewind, and a pipe or device could block or never end.
// `read_ahead` lets a helper thread read the next block meanwhile, where the
// machine has a processor for it; tests turn it off to compare.
bool open_listing(ListingStream& stream, int directory_fd, const char* name,
                  bool read_ahead = true);
void close_listing(ListingStream& stream);

// Fills the buffer with the next block when it is empty. False at end of
// file or on a read error, which a listing reader treats alike.
bool refill(ListingStream& stream);

inline bool has_byte(ListingStream& stream) {
  return stream.pos < stream.end || refill(stream);
}

// Back to the first byte, with the end-of-file state cleared.
void rewind_listing(ListingStream& stream);

}  // namespace corvel
