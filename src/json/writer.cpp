#include "json/writer.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace zelto {
namespace {

void write_string(std::string_view text, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t plain_from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(text, plain_from, i - plain_from);
    plain_from = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default:
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
  }
  out.append(text, plain_from);
  out += '"';
}

template <typename Number>
void write_number(Number number, std::string& out) {
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, number);
  out.append(digits, result.ptr);
}

// The shortest text that reads back as the same number, kept floating point by a fraction or an
// exponent ("2" would read back as an integer). Values without a JSON form are written as null.
void write_floating(double number, std::string& out) {
  if (!std::isfinite(number)) {
    out += "null";
    return;
  }
  const std::size_t start = out.size();
  write_number(number, out);
  if (out.find_first_of(".e", start) == std::string::npos) out += ".0";
}

}  // namespace

void write_json(const JsonValue& value, std::string& out) {
  switch (value.kind()) {
    case JsonKind::null: out += "null"; return;
    case JsonKind::boolean: out += value.as_boolean() ? "true" : "false"; return;
    case JsonKind::unsigned_integer: write_number(value.as_unsigned(), out); return;
    case JsonKind::negative_integer: write_number(value.as_negative(), out); return;
    case JsonKind::floating: write_floating(value.as_floating(), out); return;
    case JsonKind::string: write_string(value.as_string(), out); return;
    case JsonKind::array: {
      out += '[';
      bool first = true;
      for (const JsonValue& element : value.as_array()) {
        if (!std::exchange(first, false)) out += ',';
        write_json(element, out);
      }
      out += ']';
      return;
    }
    case JsonKind::object: {
      out += '{';
      bool first = true;
      for (const JsonMember& member : value.as_object()) {
        if (!std::exchange(first, false)) out += ',';
        write_string(member.key, out);
        out += ':';
        write_json(member.value, out);
      }
      out += '}';
      return;
    }
  }
}

std::string to_json(const JsonValue& value) {
  std::string out;
  write_json(value, out);
  return out;
}

}  // namespace zelto
