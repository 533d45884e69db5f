#include "json/value.h"

#include <algorithm>

namespace zelto {

JsonValue JsonValue::boolean(bool truth) noexcept {
  JsonValue value(JsonKind::boolean, 0);
  value.payload_.truth = truth;
  return value;
}

JsonValue JsonValue::unsigned_integer(std::uint64_t number) noexcept {
  JsonValue value(JsonKind::unsigned_integer, 0);
  value.payload_.unsigned_number = number;
  return value;
}

JsonValue JsonValue::negative_integer(std::int64_t number) noexcept {
  JsonValue value(JsonKind::negative_integer, 0);
  value.payload_.negative_number = number;
  return value;
}

JsonValue JsonValue::floating(double number) noexcept {
  JsonValue value(JsonKind::floating, 0);
  value.payload_.floating_number = number;
  return value;
}

JsonValue JsonValue::string(std::string_view text) noexcept {
  JsonValue value(JsonKind::string, text.size());
  value.payload_.chars = text.data();
  return value;
}

JsonValue JsonValue::array(std::span<const JsonValue> elements) noexcept {
  JsonValue value(JsonKind::array, elements.size());
  value.payload_.elements = elements.data();
  return value;
}

JsonValue JsonValue::object(std::span<const JsonMember> members) noexcept {
  JsonValue value(JsonKind::object, members.size());
  value.payload_.members = members.data();
  return value;
}

bool operator==(const JsonValue& a, const JsonValue& b) noexcept {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case JsonKind::null: return true;
    case JsonKind::boolean: return a.as_boolean() == b.as_boolean();
    case JsonKind::unsigned_integer: return a.as_unsigned() == b.as_unsigned();
    case JsonKind::negative_integer: return a.as_negative() == b.as_negative();
    case JsonKind::floating: return a.as_floating() == b.as_floating();
    case JsonKind::string: return a.as_string() == b.as_string();
    case JsonKind::array: return std::ranges::equal(a.as_array(), b.as_array());
    case JsonKind::object:
      return std::ranges::equal(a.as_object(), b.as_object(), [](const JsonMember& x, const JsonMember& y) {
        return x.key == y.key && x.value == y.value;
      });
  }
  return false;
}

const JsonValue* member(const JsonValue* value, std::string_view key) noexcept {
  if (!value || value->kind() != JsonKind::object) return nullptr;
  const std::span<const JsonMember> members = value->as_object();
  const auto found = std::ranges::lower_bound(members, key, {}, &JsonMember::key);
  return found != members.end() && found->key == key ? &found->value : nullptr;
}

std::optional<std::string_view> text(const JsonValue* value) noexcept {
  if (!value || value->kind() != JsonKind::string) return std::nullopt;
  return value->as_string();
}

std::optional<std::uint64_t> unsigned_number(const JsonValue* value) noexcept {
  if (!value || value->kind() != JsonKind::unsigned_integer) return std::nullopt;
  return value->as_unsigned();
}

std::optional<std::span<const JsonValue>> items(const JsonValue* value) noexcept {
  if (!value || value->kind() != JsonKind::array) return std::nullopt;
  return value->as_array();
}

bool truth(const JsonValue* value) noexcept {
  return value && value->kind() == JsonKind::boolean && value->as_boolean();
}

}  // namespace zelto
