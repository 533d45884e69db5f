#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelto {

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF,
// no truncated sequence at the end.
bool is_valid_utf8(std::string_view bytes);

// The character that `text` (valid UTF-8, not empty) starts with, and its length in bytes.
std::pair<std::uint32_t, std::size_t> first_character(std::string_view text);

// Writes the UTF-8 bytes of `code_point` (at most U+10FFFF) at `out`, and gives the end of what it
// wrote. A surrogate gets the three bytes of its form, which is_valid_utf8() refuses.
char* write_utf8(std::uint32_t code_point, char* out);

// Text as Windows takes and gives it: UTF-16 code units, in a std::wstring (of 16-bit units on
// Windows; on Linux, where the tests check them, each unit takes 32 bits).

// UTF-16 to UTF-8, losing nothing: an unpaired surrogate keeps the three bytes of its form (which
// is_valid_utf8() refuses).
std::string to_utf8(std::wstring_view units);

// UTF-8 (valid, as everything the programs print or pass on is) to UTF-16.
std::wstring to_utf16(std::string_view text);

// How many of `units` the next write to a console takes: `most`, or fewer where that would end
// between the two units of a surrogate pair, which a console would show as two wrong characters
// (or the pair alone, when `units` starts with one and `most` is 1); all, when fewer are left.
std::size_t console_chunk(std::wstring_view units, std::size_t most);

// `text` (valid UTF-8) without the characters of the Unicode White_Space property at either end:
// U+0009 to U+000D, U+0020, U+0085, U+00A0, U+1680, U+2000 to U+200A, U+2028, U+2029, U+202F,
// U+205F and U+3000.
std::string_view trim_white_space(std::string_view text);

// The arguments of a Windows command line after the program name, split by the rules of the
// Microsoft C runtime, as every console program started from cmd.exe or PowerShell splits them.
// The line is UTF-8 (or UTF-8 with surrogates): only ASCII characters have a role.
//
// The program name runs to the first space or tab outside double quotes, which may stand anywhere
// in it and are dropped; backslashes are literal there. After it, arguments are separated by spaces
// and tabs outside double quotes; a double quote starts or ends a quoted run, and inside one two
// double quotes give one literal double quote and the run goes on; backslashes are literal except
// before a double quote, where 2n of them give n and the quote keeps its role, and 2n+1 give n and
// a literal double quote. (The cases' launcher quotes arguments by the inverse of these rules.)
std::vector<std::string> split_command_line(std::string_view line);

}  // namespace zelto
