#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelto {

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF,
// no truncated sequence at the end.
bool is_valid_utf8(std::string_view bytes);

// Appends the UTF-8 bytes of `code_point` (at most U+10FFFF). A surrogate gets the three bytes of
// its form, which is_valid_utf8() refuses.
void append_utf8(std::uint32_t code_point, std::string& out);

}  // namespace zelto
