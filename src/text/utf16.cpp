#include <algorithm>

#include "text/text.h"

namespace zelto {
namespace {

// A UTF-16 unit's value (a wchar_t is signed on Linux).
std::uint32_t value(wchar_t unit) { return static_cast<char16_t>(unit); }
bool is_high_surrogate(wchar_t unit) { return value(unit) >= 0xD800 && value(unit) <= 0xDBFF; }
bool is_low_surrogate(wchar_t unit) { return value(unit) >= 0xDC00 && value(unit) <= 0xDFFF; }

}  // namespace

std::string to_utf8(std::wstring_view units) {
  std::string text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    std::uint32_t code = value(units[i]);
    if (is_high_surrogate(units[i]) && i + 1 < units.size() && is_low_surrogate(units[i + 1]))
      code = 0x10000 + ((code - 0xD800) << 10) + (value(units[++i]) - 0xDC00);
    char bytes[4];
    text.append(bytes, write_utf8(code, bytes));
  }
  return text;
}

std::wstring to_utf16(std::string_view text) {
  std::wstring units;
  while (!text.empty()) {
    const auto [code, length] = first_character(text);
    if (code >= 0x10000) {
      units += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
      units += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      units += static_cast<wchar_t>(code);
    }
    text.remove_prefix(length);
  }
  return units;
}

std::size_t console_chunk(std::wstring_view units, std::size_t most) {
  const std::size_t chunk = std::min(units.size(), most);
  if (chunk == units.size() || !is_high_surrogate(units[chunk - 1])) return chunk;
  return chunk > 1 ? chunk - 1 : 2;  // the pair goes whole: in the next chunk, or alone
}

}  // namespace zelto
