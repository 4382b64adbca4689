#pragma once
// Drives whole corvel runs in-process: a listing fixture and the answers on
// standard input go in, the console output, the exit status and every file
// the run wrote come out.

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "run/extraction_state.hpp"

namespace corvel::test {

// A scratch directory, removed with everything in it at destruction.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  int fd() const { return fd_; }
  void write_file(const std::string& name, std::string_view bytes) const;
  void make_dir(const std::string& name) const;
  void make_link(const std::string& name, const std::string& target) const;
  // Every regular file but the ones named in `except`, by name.
  std::map<std::string, std::string> files(const std::string& except) const;

 private:
  std::string path_;
  int fd_ = -1;
};

struct RunResult {
  std::string console;
  int status = -1;
  std::map<std::string, std::string> files;  // the time history files written
};

inline constexpr const char* kListingName = "listing.lis";

// How the run reads the listing; every way must give the same run.
struct ReadWays {
  bool share_reads = true;
  bool read_ahead = true;
};

// Writes `listing` as listing.lis, runs with `answers` on standard input and
// collects what the run wrote. `prepare` may shape the directory first.
RunResult run_listing(std::string_view listing, std::string_view answers = "listing.lis 1 0\n",
                      const std::function<void(ScratchDir&)>& prepare = {}, ReadWays ways = {});

// Runs with `answers` on standard input in the directory `directory_fd`;
// returns the console and status (files are the caller's to collect).
RunResult run_in(int directory_fd, std::string_view answers, ReadWays ways = {});

// Opens `bytes` as the state's input stream, for tests of the reader alone.
// The file lives until the next call.
void open_fixture(ExtractionState& state, std::string_view bytes);

// The console text of a run up to and including the listing's open.
std::string expected_opening(std::string_view name = kListingName);
// What follows the open up to the node scan's output.
inline constexpr std::string_view kAxisQuestion = "\n Select excitation axis \n  1=X  2=Y  3=Z \n";
inline constexpr std::string_view kReferenceQuestion = "\n What is the reference node? \n";

std::string read_file(const std::string& path);

}  // namespace corvel::test
