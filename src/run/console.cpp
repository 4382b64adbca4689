#include "run/console.hpp"

#include <charconv>

#include "listing/conversions.hpp"

namespace corvel {

namespace {

void write(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

// The format up to its directive, the directive's length and the rest.
struct Directive {
  std::string_view before;
  std::string_view after;
};

Directive find_directive(std::string_view format) {
  const std::size_t at = format.find('%');
  if (at == std::string_view::npos) return {format, {}};
  const std::size_t length = format.substr(at).starts_with("%ld") ? 3 : 2;
  return {format.substr(0, at), format.substr(at + length)};
}

}  // namespace

void say(std::FILE* out, std::string_view format) {
  write(out, format);
}

void say(std::FILE* out, std::string_view format, std::string_view text) {
  const Directive d = find_directive(format);
  write(out, d.before);
  write(out, text);
  write(out, d.after);
}

void say(std::FILE* out, std::string_view format, std::int64_t number) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  say(out, format, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

namespace {

int skip_blanks(std::FILE* in) {
  int c = std::getc(in);
  while (c != EOF && is_blank(static_cast<char>(c)))
    c = std::getc(in);
  return c;
}

}  // namespace

std::size_t read_word(std::FILE* in, char* word, std::size_t capacity) {
  std::size_t length = 0;
  int c = skip_blanks(in);
  for (; c != EOF && !is_blank(static_cast<char>(c)); c = std::getc(in)) {
    if (length < capacity) word[length] = static_cast<char>(c);
    ++length;
  }
  if (c != EOF) std::ungetc(c, in);
  word[length < capacity ? length : capacity] = '\0';
  return length;
}

void read_decimal(std::FILE* in, std::int32_t& value) {
  int c = skip_blanks(in);
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = std::getc(in);
  }
  if (c == EOF || !is_digit(static_cast<char>(c))) {
    if (c != EOF) std::ungetc(c, in);
    return;
  }
  std::uint32_t magnitude = 0;
  for (; c != EOF && is_digit(static_cast<char>(c)); c = std::getc(in)) {
    magnitude = magnitude * 10U + static_cast<std::uint32_t>(c - '0');
  }
  if (c != EOF) std::ungetc(c, in);
  value = static_cast<std::int32_t>(negative ? 0U - magnitude : magnitude);
}

}  // namespace corvel
