#include "text/text.h"

#include <bit>
#include <cstring>

namespace zelto {
namespace {

// Length of the well-formed multi-byte sequence that `rest` starts with (its lead byte is not
// ASCII), or 0 when it is not one. The lead byte gives the length, and the range of the byte after
// it: none below the range makes an overlong form, none above a surrogate or a code point above
// U+10FFFF (the Unicode standard's table of well-formed byte sequences).
std::size_t sequence_length(std::string_view rest) {
  const auto byte = [rest](std::size_t i) { return i < rest.size() ? static_cast<unsigned char>(rest[i]) : 0; };
  const unsigned char lead = byte(0);
  if (lead < 0xC2 || lead > 0xF4) return 0;
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;  // not a continuation byte
  }
  return length;
}

// How many bytes `bytes` starts with that are ASCII, counted eight at a time where it can: most of
// what the app sends is ASCII, and large answers are checked whole. In eight bytes read on a
// little-endian machine, the lowest high bit set is the first byte that is not ASCII.
static_assert(std::endian::native == std::endian::little, "the program is built for x86-64");
std::size_t ascii_prefix(std::string_view bytes) {
  std::size_t count = 0;
  for (std::uint64_t eight = 0; count + 8 <= bytes.size(); count += 8) {
    std::memcpy(&eight, bytes.data() + count, 8);
    if (const std::uint64_t high = eight & 0x8080808080808080) {
      return count + static_cast<std::size_t>(std::countr_zero(high)) / 8;
    }
  }
  while (count < bytes.size() && static_cast<unsigned char>(bytes[count]) < 0x80) ++count;
  return count;
}

}  // namespace

bool is_valid_utf8(std::string_view bytes) {
  while (!bytes.empty()) {
    bytes.remove_prefix(ascii_prefix(bytes));
    if (bytes.empty()) return true;
    const std::size_t length = sequence_length(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

std::pair<std::uint32_t, std::size_t> first_character(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) code = code << 6 | (static_cast<unsigned char>(text[i]) & 0x3F);
  return {code, length};
}

char* write_utf8(std::uint32_t code_point, char* out) {
  if (code_point < 0x80) {
    *out++ = static_cast<char>(code_point);
    return out;
  }
  // A lead byte of 110, 1110 or 11110 and the top bits, then 10 and six bits for each byte after it.
  const int after = code_point < 0x800 ? 1 : code_point < 0x10000 ? 2 : 3;
  *out++ = static_cast<char>((0xFF00 >> (after + 1) & 0xFF) | code_point >> (6 * after));
  for (int shift = 6 * (after - 1); shift >= 0; shift -= 6)
    *out++ = static_cast<char>(0x80 | (code_point >> shift & 0x3F));
  return out;
}

}  // namespace zelto
