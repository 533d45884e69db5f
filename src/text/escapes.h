#pragma once

#include <string>
#include <string_view>

namespace zelto {

// The characters that JSON escapes with a letter, and those letters, in the same order: a line feed
// is written "\n". The reader also takes "\/" for a solidus, which the writer never escapes.
inline constexpr std::string_view kEscapedCharacters = "\"\\\b\f\n\r\t";
inline constexpr std::string_view kEscapeLetters = "\"\\bfnrt";

// Appends the character `code` (below U+0100) in the form of a JSON escape: "\u00" and two
// lowercase hexadecimal digits. The writer escapes the other C0 controls so, and a terminal is
// shown the C1 controls so.
inline void append_unicode_escape(unsigned char code, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u00";
  out += kHex[code >> 4];
  out += kHex[code & 0xF];
}

}  // namespace zelto
