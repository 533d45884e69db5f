#include "json/json.h"

#include <charconv>
#include <map>
#include <type_traits>

#include "text/escapes.h"

namespace zelto {
namespace {

void write(const JsonValue& value, std::string& out);

void write(std::nullptr_t, std::string& out) { out += "null"; }

void write(bool truth, std::string& out) { out += truth ? "true" : "false"; }

template <typename Number>
requires std::is_arithmetic_v<Number>
void write(Number number, std::string& out) {
  char digits[32];
  const std::string_view written(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
  out += written;
  if constexpr (std::is_floating_point_v<Number>) {  // an integral value keeps its form when read back
    if (written.find_first_of(".e") == std::string_view::npos) out += ".0";
  }
}

void write(std::string_view text, std::string& out) {
  out += '"';
  for (const char c : text) {
    if (const std::size_t at = kEscapedCharacters.find(c); at != std::string_view::npos) {
      out += '\\';
      out += kEscapeLetters[at];
    } else if (static_cast<unsigned char>(c) < 0x20) {
      append_unicode_escape(static_cast<unsigned char>(c), out);
    } else {
      out += c;
    }
  }
  out += '"';
}

void write(const JsonArray& array, std::string& out) {
  out += '[';
  for (const JsonValue& element : array) {
    if (&element != &array.front()) out += ',';
    write(element, out);
  }
  out += ']';
}

void write(const JsonObject& object, std::string& out) {
  // In key order, each key once: of members with the same key, the last given.
  std::map<std::string_view, const JsonValue*> members;
  for (const JsonMember& member : object) members.insert_or_assign(member.key, &member.value);
  out += '{';
  for (const auto& [key, value] : members) {
    if (&key != &members.begin()->first) out += ',';
    write(key, out);
    out += ':';
    write(*value, out);
  }
  out += '}';
}

void write(const JsonValue& value, std::string& out) {
  std::visit([&out](const auto& held) { write(held, out); }, value.data);
}

}  // namespace

std::string to_json(const JsonValue& value) {
  std::string out;
  write(value, out);
  return out;
}

}  // namespace zelto
