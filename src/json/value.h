#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zelto {

enum class JsonKind : std::uint8_t {
  null,
  boolean,
  unsigned_integer,  // 0 to 2^64 - 1
  negative_integer,  // -2^63 to -1
  floating,          // 64-bit floating point
  string,
  array,
  object,
};

struct JsonMember;

// One JSON value. Numbers keep the form they were made with. Scalars are held inline; the text of
// a string and the elements of an array or an object are referred to, not owned: they belong to a
// JsonStore or a JsonDocument, which must outlive the value. Sixteen bytes, cheap to copy.
class JsonValue {
 public:
  constexpr JsonValue() noexcept = default;  // null

  static JsonValue boolean(bool truth) noexcept;
  static JsonValue unsigned_integer(std::uint64_t number) noexcept;
  static JsonValue negative_integer(std::int64_t number) noexcept;  // number < 0
  static JsonValue floating(double number) noexcept;
  static JsonValue string(std::string_view text) noexcept;
  static JsonValue array(std::span<const JsonValue> elements) noexcept;
  // The members must be in ascending byte order of their keys, each key once (JsonStore::object
  // makes them so).
  static JsonValue object(std::span<const JsonMember> members) noexcept;

  JsonKind kind() const noexcept { return static_cast<JsonKind>(head_ & 0xFF); }

  // Each of these requires the value to be of the matching kind.
  bool as_boolean() const noexcept { return payload_.truth; }
  std::uint64_t as_unsigned() const noexcept { return payload_.unsigned_number; }
  std::int64_t as_negative() const noexcept { return payload_.negative_number; }
  double as_floating() const noexcept { return payload_.floating_number; }
  std::string_view as_string() const noexcept { return {payload_.chars, size()}; }
  std::span<const JsonValue> as_array() const noexcept { return {payload_.elements, size()}; }
  std::span<const JsonMember> as_object() const noexcept;

 private:
  JsonValue(JsonKind kind, std::size_t size) noexcept
      : head_(static_cast<std::uint64_t>(kind) | (static_cast<std::uint64_t>(size) << 8)) {}
  std::size_t size() const noexcept { return static_cast<std::size_t>(head_ >> 8); }

  std::uint64_t head_ = 0;  // the kind in the low byte; above it, the size of a string, array or object
  union Payload {
    bool truth;
    std::uint64_t unsigned_number;
    std::int64_t negative_number;
    double floating_number;
    const char* chars;
    const JsonValue* elements;
    const JsonMember* members;
  } payload_{.unsigned_number = 0};
};

struct JsonMember {
  std::string_view key;
  JsonValue value;
};

inline std::span<const JsonMember> JsonValue::as_object() const noexcept { return {payload_.members, size()}; }

// Same kind, same number form, same contents, member by member.
bool operator==(const JsonValue& a, const JsonValue& b) noexcept;

// Lookups. An absent value is a null pointer or an empty optional; none of them can fail.

// The member named `key` when `value` is an object that has it.
const JsonValue* member(const JsonValue* value, std::string_view key) noexcept;
// The text of a string.
std::optional<std::string_view> text(const JsonValue* value) noexcept;
// A number of the unsigned integer form; no other number, whatever its value.
std::optional<std::uint64_t> unsigned_number(const JsonValue* value) noexcept;
// The elements of an array.
std::optional<std::span<const JsonValue>> items(const JsonValue* value) noexcept;
// True only for the boolean true.
bool truth(const JsonValue* value) noexcept;

}  // namespace zelto
