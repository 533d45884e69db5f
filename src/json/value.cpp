#include "json/json.h"

#include <algorithm>

namespace zelto {
namespace {

// What `value` holds when it is a `Held`; null otherwise.
template <typename Held>
const Held* held(const JsonValue* value) {
  return value ? std::get_if<Held>(&value->data) : nullptr;
}

}  // namespace

const JsonValue* member(const JsonValue* value, std::string_view key) {
  const JsonObject* object = held<JsonObject>(value);
  if (!object) return nullptr;
  const auto is_key = [key](const JsonMember& member) { return member.key == key; };
  const auto found = std::find_if(object->rbegin(), object->rend(), is_key);  // the last of that key
  return found != object->rend() ? &found->value : nullptr;
}

std::optional<std::string_view> text(const JsonValue* value) {
  if (const auto* string = held<std::string_view>(value)) return *string;
  return std::nullopt;
}

std::optional<std::uint64_t> unsigned_number(const JsonValue* value) {
  if (const auto* number = held<std::uint64_t>(value)) return *number;
  return std::nullopt;
}

std::optional<std::span<const JsonValue>> items(const JsonValue* value) {
  if (const auto* array = held<JsonArray>(value)) return *array;
  return std::nullopt;
}

bool truth(const JsonValue* value) {
  const bool* boolean = held<bool>(value);
  return boolean && *boolean;
}

}  // namespace zelto
