#include "json/value.h"

#include <algorithm>

namespace zelto {

JsonValue make_object(std::vector<JsonMember> members) {
  // Reversed, then sorted stably, the last given of equal keys comes first: unique() keeps it.
  const auto key_less = [](const JsonMember& a, const JsonMember& b) { return a.key < b.key; };
  const auto same_key = [](const JsonMember& a, const JsonMember& b) { return a.key == b.key; };
  std::reverse(members.begin(), members.end());
  std::stable_sort(members.begin(), members.end(), key_less);
  members.erase(std::unique(members.begin(), members.end(), same_key), members.end());
  return {std::move(members)};
}

const JsonValue* member(const JsonValue* value, std::string_view key) {
  const auto* object = value ? std::get_if<JsonObject>(&value->data) : nullptr;
  if (!object) return nullptr;
  const auto found = std::ranges::lower_bound(*object, key, {}, &JsonMember::key);
  return found != object->end() && found->key == key ? &found->value : nullptr;
}

std::optional<std::string_view> text(const JsonValue* value) {
  const auto* string = value ? std::get_if<std::string>(&value->data) : nullptr;
  if (!string) return std::nullopt;
  return *string;
}

std::optional<std::uint64_t> unsigned_number(const JsonValue* value) {
  const auto* number = value ? std::get_if<std::uint64_t>(&value->data) : nullptr;
  if (!number) return std::nullopt;
  return *number;
}

std::optional<std::span<const JsonValue>> items(const JsonValue* value) {
  const auto* array = value ? std::get_if<JsonArray>(&value->data) : nullptr;
  if (!array) return std::nullopt;
  return *array;
}

bool truth(const JsonValue* value) {
  const auto* boolean = value ? std::get_if<bool>(&value->data) : nullptr;
  return boolean && *boolean;
}

}  // namespace zelto
