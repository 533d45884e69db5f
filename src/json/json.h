#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "result.h"

namespace zelto {

struct JsonValue;
struct JsonMember;
using JsonArray = std::vector<JsonValue>;
// Members in the order given. Of members with the same key the last is the one that counts: the
// one member() finds, and the only one the writer writes, in the ascending byte order of the keys.
using JsonObject = std::vector<JsonMember>;

// One JSON value. It owns its arrays and objects; its strings and keys view text that it does not
// own: the text it was read from (see read_json), or the strings it was built from. That text must
// outlive the value. A number keeps the form it was made with: unsigned integer, negative integer
// (below zero) or floating point.
struct JsonValue {
  std::variant<std::nullptr_t, bool, std::uint64_t, std::int64_t, double, std::string_view, JsonArray, JsonObject> data;
};

struct JsonMember {
  std::string_view key;
  JsonValue value;
};

// Lookups, none of which can fail: an absent value is a null pointer or an empty optional.

// The member named `key` when `value` is an object that has it.
const JsonValue* member(const JsonValue* value, std::string_view key);
// The text of a string.
std::optional<std::string_view> text(const JsonValue* value);
// A number of the unsigned integer form; no other number, whatever its value.
std::optional<std::uint64_t> unsigned_number(const JsonValue* value);
// The elements of an array.
std::optional<std::span<const JsonValue>> items(const JsonValue* value);
// True only for the boolean true.
bool truth(const JsonValue* value);

// Writing and reading.

// The compact text of `value`: no white space, object members in key order, strings escaped only
// where JSON requires it (the double quote, the backslash and bytes below 0x20), everything else
// written as its raw UTF-8 bytes. Numbers are written in their shortest decimal form that reads back
// to the same number in the same form (a floating-point 2 as 2.0).
std::string to_json(const JsonValue& value);

// Why a text cannot be read: it is not one JSON value within the reader's limits. What that means
// is the caller's to say.
struct NotJson {};

// Reads one JSON value from `text`, which must be valid UTF-8, strictly by RFC 8259: white space is
// space, tab, line feed and carriage return only; nothing may follow the value; strings are valid
// Unicode with no raw control character; at most 127 arrays and objects nested; a number beyond
// the range of 64-bit floating point is refused, one too small for it reads as 0; of a repeated
// key the last value is kept. The value's strings and keys view `text`, where escapes are decoded
// in place: keep `text` as long as the value, and read it only through the value.
Result<JsonValue, NotJson> read_json(std::span<char> text);

}  // namespace zelto
