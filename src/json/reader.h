#pragma once

#include <string_view>

#include "json/value.h"
#include "result.h"

namespace zelto {

// Why a text cannot be read: it is not one JSON value within the reader's limits. What that means
// is the caller's to say.
struct NotJson {};

// Reads one JSON value from `text`, which must be valid UTF-8, strictly by RFC 8259: white space is
// space, tab, line feed and carriage return only; nothing may follow the value; strings are valid
// Unicode with no raw control character; at most 127 arrays and objects nested; a number beyond
// the range of 64-bit floating point is refused, one too small for it reads as 0; of a repeated
// key the last value is kept.
Result<JsonValue, NotJson> read_json(std::string_view text);

}  // namespace zelto
