#pragma once
// The one input stream of a run: the listing read as raw bytes through a large
// fixed buffer, so that a line read is a memchr and a bounded copy, never a
// library call per character or per line.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "listing/byte_classes.hpp"
#include "run/limits.hpp"

namespace corvel {

struct ListingStream {
  int fd = -1;
  std::size_t pos = 0;         // next unread byte in buffer
  std::size_t end = 0;         // bytes of buffer that hold data
  bool at_eof = false;         // sticky like a stdio end-of-file flag, cleared by rewind
  bool block_has_nul = false;  // lets line reads skip the NUL search on clean blocks
  std::uint64_t fills = 0;     // counts refills, so views and scans know the block changed
  bool at_start = false;       // opened or rewound, and nothing read since
  char buffer[kReadBufferSize + kCopySlack];
  ByteClasses classes[class_steps(kReadBufferSize)];  // of the buffer's data, made on each fill
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
bool open_listing(ListingStream& stream, int directory_fd, const char* name);
void close_listing(ListingStream& stream);

// Fills the buffer when it is empty. False at end of file or on a read error,
// which a listing reader treats alike.
bool refill(ListingStream& stream);

inline bool has_byte(ListingStream& stream) {
  return stream.pos < stream.end || refill(stream);
}

// Back to the first byte, with the end-of-file state cleared.
void rewind_listing(ListingStream& stream);

}  // namespace corvel
