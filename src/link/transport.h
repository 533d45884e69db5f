#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelto {

// Connects to 127.0.0.1:`port`, sends `line` whole, then appends to `received` everything the app
// sends until it closes the connection, which is closed before this returns, also when growing
// `received` throws std::bad_alloc. Gives the failure's text when one ends the transfer: the
// system's error text or "failed to write whole buffer".
std::optional<std::string> transfer(std::uint16_t port, std::string_view line, std::string& received);

}  // namespace zelto
