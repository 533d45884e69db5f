#pragma once

#include <string_view>

namespace zelto {

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF,
// no truncated sequence at the end.
bool is_valid_utf8(std::string_view bytes);

}  // namespace zelto
