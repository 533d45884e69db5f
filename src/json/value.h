#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zelto {

struct JsonValue;
struct JsonMember;
using JsonArray = std::vector<JsonValue>;
// Members in ascending byte order of their keys, each key once: make_object() makes them so.
using JsonObject = std::vector<JsonMember>;

// One JSON value; it owns what it holds. A number keeps the form it was made with: unsigned
// integer, negative integer (below zero) or floating point.
struct JsonValue {
  std::variant<std::nullptr_t, bool, std::uint64_t, std::int64_t, double, std::string, JsonArray, JsonObject> data;
};

struct JsonMember {
  std::string key;
  JsonValue value;
};

// An object of `members` in key order; of members with the same key, the one given last is kept.
JsonValue make_object(std::vector<JsonMember> members);

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

}  // namespace zelto
