#pragma once

#include <optional>
#include <string_view>

#include "json/store.h"
#include "json/value.h"
#include "text/text_buffer.h"

namespace zelto {

// A value together with everything it refers to: the store of its arrays, objects and built
// strings and, for a value read from text, that text, in which the reader decoded strings in place.
class JsonDocument {
 public:
  JsonDocument() = default;
  JsonDocument(JsonValue root, JsonStore store, TextBuffer text = TextBuffer())
      : text_(std::move(text)), store_(std::move(store)), root_(root) {}

  const JsonValue& root() const noexcept { return root_; }

 private:
  TextBuffer text_;
  JsonStore store_;
  JsonValue root_;
};

// Reads one JSON value from `text`, which must be valid UTF-8, strictly by RFC 8259: white space is
// space, tab, line feed and carriage return only; nothing may follow the value; strings are valid
// Unicode with no raw control character; at most 127 arrays and objects nested; a number beyond
// the range of 64-bit floating point is refused, one too small for it reads as 0; of a repeated
// key the last value is kept. Empty when the text is not readable.
std::optional<JsonDocument> read_json(TextBuffer text);
// The same for any bytes: text that is not valid UTF-8 is not readable either.
std::optional<JsonDocument> read_json(std::string_view bytes);

}  // namespace zelto
