#pragma once

#include <string>
#include <string_view>

namespace zelto {

// `text` (valid UTF-8) with its control characters, other than tab and line feed, in a visible form:
// the C0 controls and DEL in caret notation, as `cat -v` shows them ("^[" for ESC, "^?" for DEL),
// and the C1 controls U+0080 to U+009F as "\u0080" to "\u009f".
std::string with_visible_controls(std::string_view text);

}  // namespace zelto
