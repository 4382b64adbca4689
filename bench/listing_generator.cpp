#include "listing_generator.hpp"

#include <cmath>
#include <cstring>
#include <string>

namespace corvel::bench {

namespace {

// splitmix64: small, fast and the same on every platform.
struct Random {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

// "-1.2345E+02" from a five-digit mantissa and a decimal exponent, as the
// solver prints them; no printf, so that hundreds of megabytes take seconds.
void append_real(std::string& out, bool negative, int mantissa, int exponent) {
  char text[16];
  char* p = text;
  *p++ = negative ? '-' : ' ';
  *p++ = static_cast<char>('0' + mantissa / 10000);
  *p++ = '.';
  for (int div = 1000; div >= 1; div /= 10)
    *p++ = static_cast<char>('0' + mantissa / div % 10);
  *p++ = 'E';
  *p++ = exponent < 0 ? '-' : '+';
  const int e = exponent < 0 ? -exponent : exponent;
  *p++ = static_cast<char>('0' + e / 10);
  *p++ = static_cast<char>('0' + e % 10);
  out.append("  ");
  out.append(text, static_cast<std::size_t>(p - text));
}

void append_random_real(std::string& out, Random& r, int low_exponent, int high_exponent) {
  append_real(out, r.below(2) == 0, 10000 + r.below(90000),
              low_exponent + r.below(high_exponent - low_exponent + 1));
}

// A stress that varies smoothly with time and element, so plots look real.
void append_stress(std::string& out, int bar, double time) {
  const double value = 1.0e4 * std::sin(40.0 * time + 0.37 * bar) * (1.0 + 0.01 * bar);
  const double magnitude = std::fabs(value) < 1.0 ? 1.0 : std::fabs(value);
  int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  int mantissa = static_cast<int>(std::lround(magnitude / std::pow(10.0, exponent - 4)));
  if (mantissa >= 100000) {
    mantissa /= 10;
    ++exponent;
  }
  append_real(out, value < 0, mantissa, exponent);
}

void append_int(std::string& out, long value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width)
    out.append(static_cast<std::size_t>(width) - digits.size(), ' ');
  out += digits;
}

class Writer {
 public:
  Writer(std::FILE* out, const ListingOptions& o) : out_(out), o_(o), random_{o.seed} {}

  ListingSummary run() {
    preamble();
    flush_step();
    for (int step = 1; step <= o_.steps; ++step) {
      write_step(step);
      if (o_.max_lines > 0 && summary_.lines + step_lines_ > o_.max_lines) break;
      flush_step();
      summary_.steps = step;
    }
    return summary_;
  }

 private:
  void line(const std::string& text) {
    step_ += text;
    step_ += '\n';
    ++step_lines_;
    ++page_used_;
  }

  void preamble() {
    line("     BRIDGE DECK TRANSIENT RESPONSE                                   PAGE      1");
    line(" ");
    line("                    TRANSIENT RESPONSE ANALYSIS, DIRECT INTEGRATION");
    line("     INPUT ECHO");
    line("       $ time integration: 0.005 s steps, newmark beta 0.25");
    line("       $ excitation: base acceleration, three axes");
    line("       $ output: displacement, acceleration, bar element stresses");
    line(" ");
    page_ = 1;
  }

  void page_heading() {
    ++page_;
    page_used_ = 0;
    std::string heading =
        "     BRIDGE DECK TRANSIENT RESPONSE                                   PAGE ";
    append_int(heading, page_, 6);
    line(heading);
    line(time_line_);
  }

  void acceleration_heading() {
    line("                               A C C E L E R A T I O N    V E C T O R");
    line(" ");
    line(
        "      POINT ID.   TYPE          T1             T2             T3             R1"
        "             R2             R3");
    line(" ");
  }

  void bar_heading() {
    line("                 S T R E S S E S   I N   B A R   E L E M E N T S          ( C B A R )");
    line(
        "  ELEMENT    SA1            SA2            SA3            SA4           AXIAL"
        "          SA-MAX         SA-MIN     M.S.-T");
    line(
        "    ID.      SB1            SB2            SB3            SB4           STRESS"
        "         SB-MAX         SB-MIN     M.S.-C");
    line(" ");
  }

  // A new page, with the table's heading repeated, when fewer than `needed`
  // lines are left on this one.
  void keep_on_page(int needed, void (Writer::*table_heading)()) {
    if (page_used_ + needed <= o_.page_lines) return;
    page_heading();
    (this->*table_heading)();
  }

  void write_step(int step) {
    const double time = step * o_.time_step;
    time_line_ = "     TIME STEP =";
    append_int(time_line_, step, 7);
    time_line_ += "    TIME =";
    append_time(time_line_, time);
    page_heading();

    acceleration_heading();
    for (int node = 0; node < o_.nodes; ++node) {
      keep_on_page(1, &Writer::acceleration_heading);
      std::string row;
      append_int(row, 101 + node, 14);
      append_int(row, 0, 8);
      for (int i = 0; i < 6; ++i)
        append_random_real(row, random_, -4, 1);
      line(row);
    }
    line("     ELEMENT OUTPUT AT THIS TIME");

    bar_heading();
    for (int bar = 0; bar < o_.bars; ++bar) {
      keep_on_page(2, &Writer::bar_heading);  // a row pair stays together
      std::string first;
      append_int(first, 1001 + bar, 8);
      for (int i = 0; i < 6; ++i)
        append_random_real(first, random_, 1, 3);
      append_stress(first, bar, time);
      append_random_real(first, random_, -1, 1);
      line(first);
      std::string second = "        ";
      for (int i = 0; i < 7; ++i)
        append_random_real(second, random_, 1, 3);
      line(second);
    }
    line("  MAXIMUM    ");
  }

  static void append_time(std::string& out, double time) {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%14.6E", time);
    out.append(text, static_cast<std::size_t>(n));
  }

  void flush_step() {
    std::fwrite(step_.data(), 1, step_.size(), out_);
    summary_.lines += step_lines_;
    summary_.bytes += static_cast<long>(step_.size());
    step_.clear();
    step_lines_ = 0;
  }

  std::FILE* out_;
  ListingOptions o_;
  Random random_;
  ListingSummary summary_;
  std::string step_;
  std::string time_line_;
  long step_lines_ = 0;
  int page_ = 0;
  int page_used_ = 0;
};

}  // namespace

ListingSummary write_listing(std::FILE* out, const ListingOptions& options) {
  return Writer(out, options).run();
}

}  // namespace corvel::bench
