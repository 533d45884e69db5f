#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "json/value.h"

namespace zelto {

// One exchange with the app on 127.0.0.1:`port`: the request goes out as one line of compact JSON,
// everything the app sends until it closes comes back, and the connection is closed before this
// returns. Sets `response` and gives nothing when the app's answer has "ok" true; otherwise gives
// the whole text for standard error.
std::optional<std::string> exchange(std::uint16_t port, const JsonValue& request, JsonValue& response);

// What the exchange makes of the bytes received: they must be UTF-8; the text, trimmed of Unicode
// white space, is read as JSON and passes when its "ok" is true. A text that cannot be read counts
// as the app's own failure "resposta inválida".
std::optional<std::string> check_response(std::string_view received, JsonValue& response);

}  // namespace zelto
