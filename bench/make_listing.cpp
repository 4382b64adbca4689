// make_listing: writes a realistic listing to standard output or a file.
//   make_listing [--steps N] [--bars N] [--nodes N] [--seed N] [--lines N]
//                [--page-lines N] [-o FILE]

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "listing_generator.hpp"

int main(int argc, char** argv) {
  corvel::bench::ListingOptions o;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (i + 1 >= argc) {
      std::fprintf(stderr, "make_listing: %s needs a value\n", argv[i]);
      return 2;
    }
    const char* value = argv[++i];
    if (flag == "--steps")
      o.steps = std::atoi(value);
    else if (flag == "--bars")
      o.bars = std::atoi(value);
    else if (flag == "--nodes")
      o.nodes = std::atoi(value);
    else if (flag == "--seed")
      o.seed = std::strtoull(value, nullptr, 10);
    else if (flag == "--lines")
      o.max_lines = std::atol(value);
    else if (flag == "--page-lines")
      o.page_lines = std::atoi(value);
    else if (flag == "-o")
      path = value;
    else {
      std::fprintf(stderr, "make_listing: unknown option %s\n", argv[i - 1]);
      return 2;
    }
  }
  if (o.max_lines > 0 && o.steps == 10) o.steps = 1 << 30;  // --lines alone sets the length
  std::FILE* out = path ? std::fopen(path, "wb") : stdout;
  if (out == nullptr) {
    std::perror(path);
    return 1;
  }
  static char buffer[1 << 20];
  std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
  const auto summary = corvel::bench::write_listing(out, o);
  if (std::fclose(out) != 0) {
    std::perror("make_listing");
    return 1;
  }
  std::fprintf(stderr, "make_listing: %ld lines, %ld bytes, %d steps\n", summary.lines,
               summary.bytes, summary.steps);
  return 0;
}
