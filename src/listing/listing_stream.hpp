#pragma once
// The one input stream of a run: the listing read as raw bytes through a large
// fixed buffer, so that a line read is a memchr and a bounded copy, never a
// library call per character or per line.

#include <cstddef>
#include <cstdint>

#include "run/limits.hpp"

namespace corvel {

struct ListingStream {
  int fd = -1;
  std::size_t pos = 0;         // next unread byte in buffer
  std::size_t end = 0;         // bytes of buffer that hold data
  bool at_eof = false;         // sticky like a stdio end-of-file flag, cleared by rewind
  bool block_has_nul = false;  // lets line reads skip the NUL search on clean blocks
  std::uint64_t fills = 0;     // counts refills, so views and scans know the block changed
  char buffer[kReadBufferSize + kCopySlack];
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
