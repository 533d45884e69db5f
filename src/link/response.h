#pragma once

#include <string_view>

#include "failure.h"
#include "json/value.h"
#include "result.h"

namespace zelto {

// What the exchange makes of the app's answer, the received text (valid UTF-8): trimmed of Unicode
// white space, it is read as one JSON value, and passes when its "ok" is true. Otherwise the
// failure prints the app's "error" when it is a string; a text that cannot be read counts as the
// app's own failure "resposta inválida".
Result<JsonValue, Failure> read_response(std::string_view received);

}  // namespace zelto
