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

// The parts of the exchange after the transport, each on its own.

// The response text (valid UTF-8) trimmed of Unicode white space and read; a text that cannot be
// read gives the client's own failed response, {"error":"resposta inválida","ok":false}.
JsonDocument read_response(TextBuffer text);

// The outcome check: empty when "ok" is the boolean true, otherwise the text for standard error.
std::optional<std::string> outcome_failure(const JsonValue& response);

}  // namespace zelto
