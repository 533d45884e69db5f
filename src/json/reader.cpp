#include "json/reader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

#include "text/utf8.h"

namespace zelto {
namespace {

// A depth counter starts here and is lowered on entering each array or object; reaching 0 fails.
constexpr int kDepthLimit = 128;

// Takes `c` off the front of `text` when `text` starts with it.
bool take(std::string_view& text, char c) {
  if (!text.starts_with(c)) return false;
  text.remove_prefix(1);
  return true;
}

// Takes the digits that `text` starts with off it; gives how many there were.
std::size_t take_digits(std::string_view& text) {
  const std::size_t count = std::min(text.find_first_not_of("0123456789"), text.size());
  text.remove_prefix(count);
  return count;
}

// The value of a run of decimal digits, or the largest 64-bit value when it is larger: an exponent
// may have any number of digits.
std::uint64_t saturated_value(std::string_view digits) {
  constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (const char digit : digits) {
    if (value > (kLargest - 9) / 10) return kLargest;
    value = value * 10 + static_cast<std::uint64_t>(digit - '0');
  }
  return value;
}

// For a number that floating point cannot hold: true when it is too small rather than too large,
// told by the sign of the power of ten of its first significant digit, which is that digit's place
// in the mantissa plus the exponent. Both are kept as a sign and a magnitude, so that no sum of
// them can overflow: a place is at most the text's length, below any saturated exponent.
bool is_too_small(std::string_view number) {
  const std::size_t e = std::min(number.find_first_of("eE"), number.size());
  const std::string_view mantissa = number.substr(0, e);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");  // there is one: zero is never out of range
  const bool place_negative = first > point;
  const std::uint64_t place = place_negative ? first - point : point - first - 1;
  std::string_view exponent_digits = e < number.size() ? number.substr(e + 1) : "";
  const bool exponent_negative = exponent_digits.starts_with('-');
  if (exponent_negative || exponent_digits.starts_with('+')) exponent_digits.remove_prefix(1);
  const std::uint64_t exponent = saturated_value(exponent_digits);
  if (place_negative == exponent_negative) return place_negative;
  return place_negative ? place > exponent : exponent > place;
}

// Reads by recursive descent; each step consumes what it reads from `rest_`, and gives false when
// the text is not readable.
class Reader {
 public:
  explicit Reader(std::string_view text) : rest_(text) {}

  Result<JsonValue, NotJson> read_document() {
    JsonValue value;
    skip_white_space();
    if (!read_value(value, kDepthLimit)) return NotJson{};
    skip_white_space();
    if (!rest_.empty()) return NotJson{};
    return value;
  }

 private:
  // The next character; a NUL byte at the end, which no step accepts, as JSON never does.
  char peek() const { return rest_.empty() ? '\0' : rest_.front(); }

  void skip_white_space() {
    while (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r') rest_.remove_prefix(1);
  }

  bool read_value(JsonValue& out, int depth) {
    switch (peek()) {
      case '{': return read_object(out, depth - 1);
      case '[': return read_array(out, depth - 1);
      case '"': return read_string(out.data.emplace<std::string>());
      case 't': return read_literal("true", out, true);
      case 'f': return read_literal("false", out, false);
      case 'n': return read_literal("null", out, nullptr);
      default: return read_number(out);
    }
  }

  template <typename Held>
  bool read_literal(std::string_view literal, JsonValue& out, Held held) {
    if (!rest_.starts_with(literal)) return false;
    rest_.remove_prefix(literal.size());
    out.data = held;
    return true;
  }

  bool read_array(JsonValue& out, int depth) {
    if (depth == 0) return false;
    rest_.remove_prefix(1);
    JsonArray& elements = out.data.emplace<JsonArray>();
    skip_white_space();
    if (take(rest_, ']')) return true;
    do {
      skip_white_space();
      if (!read_value(elements.emplace_back(), depth)) return false;
      skip_white_space();
    } while (take(rest_, ','));
    return take(rest_, ']');
  }

  bool read_object(JsonValue& out, int depth) {
    if (depth == 0) return false;
    rest_.remove_prefix(1);
    std::vector<JsonMember> members;
    skip_white_space();
    if (!take(rest_, '}')) {
      do {
        skip_white_space();
        JsonMember& member = members.emplace_back();
        if (peek() != '"' || !read_string(member.key)) return false;
        skip_white_space();
        if (!take(rest_, ':')) return false;
        skip_white_space();
        if (!read_value(member.value, depth)) return false;
        skip_white_space();
      } while (take(rest_, ','));
      if (!take(rest_, '}')) return false;
    }
    out = make_object(std::move(members));
    return true;
  }

  // The string whose opening quote is next, decoded into `out`.
  bool read_string(std::string& out) {
    rest_.remove_prefix(1);
    for (;;) {
      const char c = peek();
      if (static_cast<unsigned char>(c) < 0x20) return false;  // a raw control character, or the end
      rest_.remove_prefix(1);
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      const char escape = peek();
      rest_.remove_prefix(rest_.empty() ? 0 : 1);
      switch (escape) {
        case '"':
        case '\\':
        case '/': out += escape; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u':
          if (!read_escaped_character(out)) return false;
          break;
        default: return false;
      }
    }
  }

  bool read_hex4(std::uint32_t& out) {
    const char* const end = rest_.data() + std::min<std::size_t>(rest_.size(), 4);
    const auto [stop, error] = std::from_chars(rest_.data(), end, out, 16);
    if (error != std::errc() || stop != rest_.data() + 4) return false;
    rest_.remove_prefix(4);
    return true;
  }

  // After "\u": four hex digits, and after a leading surrogate the escaped trailing one.
  bool read_escaped_character(std::string& out) {
    std::uint32_t code_point = 0;
    if (!read_hex4(code_point) || (code_point >= 0xDC00 && code_point <= 0xDFFF)) return false;
    if (code_point >= 0xD800 && code_point <= 0xDBFF) {
      std::uint32_t trailing = 0;
      if (!rest_.starts_with("\\u")) return false;
      rest_.remove_prefix(2);
      if (!read_hex4(trailing) || trailing < 0xDC00 || trailing > 0xDFFF) return false;
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (trailing - 0xDC00);
    }
    append_utf8(code_point, out);
    return true;
  }

  // A number by the JSON grammar. An integer keeps an integer form when one holds it; every other
  // number is floating point.
  bool read_number(JsonValue& out) {
    std::string_view rest = rest_;
    const bool negative = take(rest, '-');
    const bool leading_zero = rest.starts_with('0');
    const std::size_t integer_digits = take_digits(rest);
    if (integer_digits == 0 || (integer_digits > 1 && leading_zero)) return false;
    const bool fraction = take(rest, '.');
    if (fraction && take_digits(rest) == 0) return false;
    const bool exponent = take(rest, 'e') || take(rest, 'E');
    if (exponent && !take(rest, '+')) take(rest, '-');
    if (exponent && take_digits(rest) == 0) return false;
    const std::string_view number = rest_.substr(0, rest_.size() - rest.size());
    rest_ = rest;
    return (!fraction && !exponent && read_integer(number, negative, out)) || read_floating(number, out);
  }

  // An integer in the form that holds it: unsigned, or negative below zero ("-0" is not one).
  static bool read_integer(std::string_view number, bool negative, JsonValue& out) {
    const char* const end = number.data() + number.size();
    if (negative) {
      std::int64_t value{};
      if (std::from_chars(number.data(), end, value).ec != std::errc() || value == 0) return false;
      out.data = value;
    } else {
      std::uint64_t value{};
      if (std::from_chars(number.data(), end, value).ec != std::errc()) return false;
      out.data = value;
    }
    return true;
  }

  static bool read_floating(std::string_view number, JsonValue& out) {
    double value{};
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec == std::errc::result_out_of_range) {
      if (!is_too_small(number)) return false;
      value = number.starts_with('-') ? -0.0 : 0.0;
    }
    out.data = value;
    return true;
  }

  std::string_view rest_;
};

}  // namespace

Result<JsonValue, NotJson> read_json(std::string_view text) { return Reader(text).read_document(); }

}  // namespace zelto
