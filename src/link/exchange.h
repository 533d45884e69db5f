#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "failure.h"
#include "json/json.h"
#include "result.h"

namespace zelto {

// The app's answer: the text received, and the value read from it, which views that text. It moves
// but is never copied: a copy's value would view the first one's text.
struct Response {
  Response(std::vector<char> text, JsonValue value) : text(std::move(text)), value(std::move(value)) {}
  Response(Response&&) = default;
  Response(const Response&) = delete;

  std::vector<char> text;  // a vector: where it moves, its bytes stay
  JsonValue value;
};

// One exchange with the app on 127.0.0.1:`port`: the request (compact JSON) goes out as one line,
// everything the app sends until it closes comes back, and the connection is closed before this
// returns. Gives the app's answer when its "ok" is true; otherwise the failure, with status 1.
Result<Response, Failure> exchange(std::uint16_t port, std::string_view request);

// What the exchange makes of the received bytes (valid UTF-8): trimmed of Unicode white space, they
// are read as one JSON value, which passes when its "ok" is true. Otherwise the failure shows the
// app's "error" when it is a string; a text that cannot be read counts as the app's own failure
// "resposta inválida".
Result<Response, Failure> read_response(std::vector<char> received);

}  // namespace zelto
