#pragma once

// Texts as Windows takes and gives them, for the files that call Windows: the platform layer's, and
// the stand-in app's.

#include <string>
#include <string_view>

namespace zelto::platform {

// UTF-16 to UTF-8, losing nothing: an unpaired surrogate keeps the three bytes of its form.
std::string to_utf8(std::wstring_view text);

// UTF-8 (valid, as everything the programs print or pass on is) to UTF-16.
std::wstring to_utf16(std::string_view text);

}  // namespace zelto::platform
