#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "json/document.h"
#include "text/text_buffer.h"

namespace zelto {

// Why the exchange ended the run: the whole text for standard error.
struct ExchangeFailure {
  std::string text;
};

// One exchange with the app on 127.0.0.1:`port`: the request goes out as one line of compact JSON,
// everything the app sends until it closes comes back. The connection is closed before this
// returns. Gives the response when its "ok" member is true.
std::variant<JsonDocument, ExchangeFailure> exchange(std::uint16_t port, const JsonValue& request);

// What the exchange makes of the bytes received: they must be UTF-8; the text, trimmed of Unicode
// white space, is read as JSON (a text that cannot be read becomes the client's own failed response,
// {"error":"resposta inválida","ok":false}); the response passes when its "ok" is true.
std::variant<JsonDocument, ExchangeFailure> interpret_response(TextBuffer received);

}  // namespace zelto
