#include "json/value.h"

#include <algorithm>

namespace zelto {

JsonValue make_object(std::vector<JsonMember> members) {
  std::ranges::stable_sort(members, {}, &JsonMember::key);
  // After a stable sort the last of equal keys is the one given last: keep it.
  JsonObject object;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (i + 1 == members.size() || members[i + 1].key != members[i].key) object.push_back(std::move(members[i]));
  }
  return {std::move(object)};
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
