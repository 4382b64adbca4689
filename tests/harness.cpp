#include "harness.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "run/run_sequence.hpp"

namespace corvel::test {

ScratchDir::ScratchDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/corvel-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

ScratchDir::~ScratchDir() {
  ::chmod(path_.c_str(), 0700);  // a test may have made it read-only
  ::close(fd_);
  const std::string command = "rm -rf '" + path_ + "'";
  if (std::system(command.c_str()) != 0) std::perror("rm");
}

void ScratchDir::write_file(const std::string& name, std::string_view bytes) const {
  std::ofstream out(path_ + "/" + name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ScratchDir::make_dir(const std::string& name) const {
  if (::mkdirat(fd_, name.c_str(), 0700) != 0) throw std::runtime_error("mkdir " + name);
}

void ScratchDir::make_link(const std::string& name, const std::string& target) const {
  if (::symlinkat(target.c_str(), fd_, name.c_str()) != 0) throw std::runtime_error("link " + name);
}

std::map<std::string, std::string> ScratchDir::files(const std::string& except) const {
  std::map<std::string, std::string> found;
  DIR* dir = ::opendir(path_.c_str());
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    const std::string full = path_ + "/" + name;
    struct stat info {};
    if (name == except || ::lstat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    found[name] = read_file(full);
  }
  ::closedir(dir);
  return found;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

RunResult run_listing(std::string_view listing, std::string_view answers,
                      const std::function<void(ScratchDir&)>& prepare, ReadWays ways) {
  ScratchDir dir;
  dir.write_file(kListingName, listing);
  if (prepare) prepare(dir);
  RunResult result = run_in(dir.fd(), answers, ways);
  result.files = dir.files(kListingName);
  return result;
}

RunResult run_in(int directory_fd, std::string_view answers, ReadWays ways) {
  std::string input(answers);
  // fmemopen refuses a buffer of size 0.
  std::FILE* in =
      input.empty() ? std::fopen("/dev/null", "r") : ::fmemopen(input.data(), input.size(), "r");
  char* captured = nullptr;
  std::size_t captured_size = 0;
  std::FILE* out = ::open_memstream(&captured, &captured_size);

  RunResult result;
  result.status = run_extraction(process_state(),
                                 RunIo{in, out, directory_fd, ways.share_reads, ways.read_ahead});
  std::fclose(in);
  std::fclose(out);
  result.console.assign(captured, captured_size);
  std::free(captured);
  return result;
}

void open_fixture(ExtractionState& state, std::string_view bytes) {
  static std::unique_ptr<ScratchDir> dir;
  dir = std::make_unique<ScratchDir>();
  dir->write_file("fixture", bytes);
  reset_extraction_state(state);
  if (!open_listing(state.input_stream, dir->fd(), "fixture")) {
    throw std::runtime_error("cannot open fixture");
  }
}

std::string expected_opening(std::string_view name) {
  return std::string(
             "\n\n corvel  ver 1.1    08/20/2004"
             "\n\n by the corvel developers \n contact: see README.md \n"
             "\n\n Enter input filename \n File: ") +
         std::string(name) + " opened. \n";
}

}  // namespace corvel::test
