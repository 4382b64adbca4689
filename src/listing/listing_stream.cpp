#include "listing/listing_stream.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace corvel {

bool open_listing(ListingStream& stream, int directory_fd, const char* name) {
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
  return true;
}

void close_listing(ListingStream& stream) {
  if (stream.fd >= 0) ::close(stream.fd);
  stream.fd = -1;
  stream.pos = stream.end = 0;
  stream.at_eof = false;
}

bool refill(ListingStream& stream) {
  if (stream.pos < stream.end) return true;
  if (stream.at_eof || stream.fd < 0) return false;
  stream.at_start = false;
  for (;;) {
    // Never into the slack: loads past the data must stay in the buffer.
    ssize_t got = ::read(stream.fd, stream.buffer, kReadBufferSize);
    if (got > 0) {
      stream.pos = 0;
      stream.end = static_cast<std::size_t>(got);
      ++stream.fills;
      stream.block_has_nul = classify_bytes(stream.buffer, stream.end, stream.classes);
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    stream.pos = stream.end = 0;
    stream.at_eof = true;
    return false;
  }
}

void rewind_listing(ListingStream& stream) {
  if (stream.fd >= 0) ::lseek(stream.fd, 0, SEEK_SET);
  stream.pos = stream.end = 0;
  stream.at_eof = false;
  stream.at_start = true;
}

}  // namespace corvel
