#include "json/writer.h"

#include <charconv>
#include <type_traits>

#include "text/unicode_escape.h"

namespace zelto {
namespace {

void write(const JsonValue& value, std::string& out);

void write(std::nullptr_t, std::string& out) { out += "null"; }

void write(bool truth, std::string& out) { out += truth ? "true" : "false"; }

template <typename Number>
requires std::is_arithmetic_v<Number>
void write(Number number, std::string& out) {
  char digits[32];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

void write(const std::string& text, std::string& out) {
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20) {
          out += c;
        } else {
          append_unicode_escape(static_cast<unsigned char>(c), out);
        }
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
  out += '{';
  for (const JsonMember& member : object) {
    if (&member != &object.front()) out += ',';
    write(member.key, out);
    out += ':';
    write(member.value, out);
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
