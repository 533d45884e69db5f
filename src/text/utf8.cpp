#include "text/utf8.h"

namespace zelto {
namespace {

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed multi-byte sequence that `rest` starts with (its lead byte is not
// ASCII), or 0 when it is not one.
std::size_t sequence_length(std::string_view rest) {
  const auto byte = [rest](std::size_t i) { return i < rest.size() ? static_cast<unsigned char>(rest[i]) : 0; };
  const unsigned char lead = byte(0);
  if (lead >= 0xC2 && lead <= 0xDF) return is_continuation(byte(1)) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!is_continuation(byte(1)) || !is_continuation(byte(2))) return 0;
    if (lead == 0xE0 && byte(1) < 0xA0) return 0;   // overlong
    if (lead == 0xED && byte(1) >= 0xA0) return 0;  // a surrogate
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!is_continuation(byte(1)) || !is_continuation(byte(2)) || !is_continuation(byte(3))) return 0;
    if (lead == 0xF0 && byte(1) < 0x90) return 0;   // overlong
    if (lead == 0xF4 && byte(1) >= 0x90) return 0;  // above U+10FFFF
    return 4;
  }
  return 0;
}

}  // namespace

bool is_valid_utf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t length = static_cast<unsigned char>(bytes[0]) < 0x80 ? 1 : sequence_length(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

void append_utf8(std::uint32_t code_point, std::string& out) {
  const auto byte = [&out](std::uint32_t bits) { out += static_cast<char>(bits); };
  if (code_point < 0x80) {
    byte(code_point);
  } else if (code_point < 0x800) {
    byte(0xC0 | code_point >> 6);
    byte(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    byte(0xE0 | code_point >> 12);
    byte(0x80 | (code_point >> 6 & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  } else {
    byte(0xF0 | code_point >> 18);
    byte(0x80 | (code_point >> 12 & 0x3F));
    byte(0x80 | (code_point >> 6 & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  }
}

}  // namespace zelto
