#pragma once
// The console side of a run: its messages, written from fixed formats, and
// the two kinds of answer it reads, a word and a decimal integer, with the
// rules of a "%s" and a "%d" read.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace corvel {

// Writes format with its one directive ("%s", "%d" or "%ld") replaced by the
// argument; a format without a directive is written as it stands.
void say(std::FILE* out, std::string_view format);
void say(std::FILE* out, std::string_view format, std::string_view text);
void say(std::FILE* out, std::string_view format, std::int64_t number);

// Skips blanks, then takes bytes up to the next blank or end of input. The
// blank that ends the word stays unread. The first `capacity` bytes go into
// `word`, terminated; a longer word is still consumed whole. Returns the
// word's whole length, 0 at end of input.
std::size_t read_word(std::FILE* in, char* word, std::size_t capacity);

// Skips blanks, takes an optional sign and decimal digits, modulo 2^32. The
// first byte after them stays unread. Without digits `value` is left as it is
// (a sign taken before stays consumed).
void read_decimal(std::FILE* in, std::int32_t& value);

}  // namespace corvel
