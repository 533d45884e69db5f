#include "text/white_space.h"

namespace zelto {
namespace {

bool is_ascii_white_space(unsigned char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

bool is_two_byte_white_space(unsigned char lead, unsigned char last) {
  return lead == 0xC2 && (last == 0x85 || last == 0xA0);
}

bool is_three_byte_white_space(unsigned char lead, unsigned char middle, unsigned char last) {
  switch (lead) {
    case 0xE1: return middle == 0x9A && last == 0x80;  // U+1680
    case 0xE3: return middle == 0x80 && last == 0x80;  // U+3000
    case 0xE2:
      if (middle == 0x80) return last <= 0x8A || last == 0xA8 || last == 0xA9 || last == 0xAF;
      return middle == 0x81 && last == 0x9F;  // U+205F
    default: return false;
  }
}

// Byte length of the white-space character that `text` starts with, or 0.
std::size_t leading_white_space(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (text.empty()) return 0;
  if (is_ascii_white_space(byte(0))) return 1;
  if (text.size() >= 2 && is_two_byte_white_space(byte(0), byte(1))) return 2;
  if (text.size() >= 3 && is_three_byte_white_space(byte(0), byte(1), byte(2))) return 3;
  return 0;
}

// Byte length of the white-space character that `text` ends with, or 0. In valid UTF-8 a lead byte
// never appears as a continuation, so matching the last bytes matches a whole character.
std::size_t trailing_white_space(std::string_view text) {
  const std::size_t n = text.size();
  const auto byte = [&](std::size_t back) { return static_cast<unsigned char>(text[n - back]); };
  if (n == 0) return 0;
  if (is_ascii_white_space(byte(1))) return 1;
  if (n >= 2 && is_two_byte_white_space(byte(2), byte(1))) return 2;
  if (n >= 3 && is_three_byte_white_space(byte(3), byte(2), byte(1))) return 3;
  return 0;
}

}  // namespace

std::string_view trim_white_space(std::string_view text) {
  while (std::size_t length = leading_white_space(text)) text.remove_prefix(length);
  while (std::size_t length = trailing_white_space(text)) text.remove_suffix(length);
  return text;
}

}  // namespace zelto
