#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "text/text_buffer.h"

namespace zelto {

// Connects to 127.0.0.1:`port`, sends `line` whole, then reads until the app closes the connection,
// which is closed before this returns. Gives every byte received, or the text of the failure: the
// system's error text, "failed to write whole buffer" or "out of memory".
std::variant<TextBuffer, std::string> transfer(std::uint16_t port, std::string_view line);

}  // namespace zelto
