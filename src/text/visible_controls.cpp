#include "text/visible_controls.h"

#include "text/unicode_escape.h"

namespace zelto {

std::string with_visible_controls(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F) {
      shown += '^';
      shown += static_cast<char>(byte ^ 0x40);
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
      append_unicode_escape(next, shown);
      ++i;
    } else {
      shown += text[i];
    }
  }
  return shown;
}

}  // namespace zelto
