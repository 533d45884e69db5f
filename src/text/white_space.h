#pragma once

#include <string_view>

namespace zelto {

// `text` (valid UTF-8) without the characters of the Unicode White_Space property at either end:
// U+0009 to U+000D, U+0020, U+0085, U+00A0, U+1680, U+2000 to U+200A, U+2028, U+2029, U+202F,
// U+205F and U+3000.
std::string_view trim_white_space(std::string_view text);

}  // namespace zelto
