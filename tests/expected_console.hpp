#pragma once
// The console text of a whole run, assembled from the parts each scan and
// pass prints, so that a test states only the parts it is about.

#include <string>
#include <vector>

#include "harness.hpp"

namespace corvel::test {

struct ConsoleParts {
  std::string nodes;     // what the node scan prints after "\n\n nodes \n"
  std::string elements;  // what the element scan prints after "\n\n elements \n"
  bool bar_stress = true;
  long counter = 0;
  std::vector<std::string> files;  // names reported opened, in order
};

inline std::string node_echo(const std::string& header, const std::vector<long>& nodes) {
  std::string s = "\n " + header + " \n";
  for (long n : nodes)
    s += "\n " + std::to_string(n);
  return s + "\n\n " + std::to_string(nodes.size()) + " nodes detected \n\n";
}

inline std::string element_echo(const std::string& header, const std::vector<long>& ids) {
  std::string s = "\n " + header + " \n";
  for (long id : ids)
    s += " " + std::to_string(id) + " \n";
  return s + "\n\n " + std::to_string(ids.size()) + " elements detected \n\n";
}

inline std::string whole_console(const ConsoleParts& p) {
  std::string s = expected_opening() + std::string(kAxisQuestion) + "\n\n nodes \n" + p.nodes +
                  std::string(kReferenceQuestion) + "\n\n elements \n" + p.elements + "\n ref 1 \n";
  if (p.bar_stress) s += "\n bar stress \n";
  s += "\n\n ref 2    i=" + std::to_string(p.counter) + " \n";
  for (const auto& f : p.files)
    s += " File: " + f + " opened. \n";
  return s;
}

inline std::string between(const std::string& text, const std::string& from,
                           const std::string& to) {
  const std::size_t start = text.find(from);
  if (start == std::string::npos) return "<no " + from + ">";
  const std::size_t stop = text.find(to, start + from.size());
  return text.substr(start + from.size(), stop - start - from.size());
}

// What the element list scan printed.
inline std::string between_markers(const std::string& console) {
  return between(console, "\n\n elements \n", "\n ref 1 \n");
}

// One file row from the two fields as written.
inline std::string row(const std::string& time, const std::string& stress) {
  return " " + time + " " + stress + " \r\n";
}

}  // namespace corvel::test
