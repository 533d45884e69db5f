#include "text/visible_controls.h"

namespace zelto {

std::string with_visible_controls(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F) {
      shown += '^';
      shown += static_cast<char>(byte ^ 0x40);
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
      shown += "\\u00";
      shown += kHex[next >> 4];
      shown += kHex[next & 0xF];
      ++i;
    } else {
      shown += text[i];
    }
  }
  return shown;
}

}  // namespace zelto
