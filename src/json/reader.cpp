#include "json/json.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "text/escapes.h"
#include "text/text.h"

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
  const std::size_t count = std::ranges::find_if(text, [](char c) { return c < '0' || c > '9'; }) - text.begin();
  text.remove_prefix(count);
  return count;
}

// A number of the JSON grammar in the form that holds it. An integer is unsigned, or negative below
// zero ("-0" is not one), when either holds it; every other number is floating point, and one too
// small for that reads as 0 while one too large is not read.
Result<JsonValue, NotJson> number_value(std::string_view number, bool integer) {
  const char* const end = number.data() + number.size();
  std::uint64_t magnitude{};
  std::int64_t negative{};
  if (integer && !number.starts_with('-') && std::from_chars(number.data(), end, magnitude).ec == std::errc()) {
    return JsonValue{magnitude};
  }
  if (integer && std::from_chars(number.data(), end, negative).ec == std::errc() && negative < 0) {
    return JsonValue{negative};
  }
  double value{};
  if (std::from_chars(number.data(), end, value).ec == std::errc::result_out_of_range) {
    // Too large or too small for floating point: strtod says which by the size of what it gives (in
    // the C locale, which the program never leaves).
    if (std::abs(std::strtod(std::string(number).c_str(), nullptr)) >= 1) return NotJson{};
    value = number.starts_with('-') ? -0.0 : 0.0;
  }
  return JsonValue{value};
}

bool needs_decoding(char c) { return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20; }

// How many bytes of a string's text `text` starts with that need no decoding, looked at eight at a
// time where it can: most of a long answer is the plain text of its strings. In each eight, a byte
// that is zero, or below 0x20, borrows in the subtraction and keeps its high bit when it did not
// have it; as a borrow goes only to higher bytes, which are later ones in memory on a little-endian
// machine, the lowest such byte is exactly the first one.
static_assert(std::endian::native == std::endian::little, "the program is built for x86-64");
std::size_t plain_prefix(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101, kHighBits = kOnes * 0x80;
  const auto below = [](std::uint64_t eight, std::uint64_t limit) { return (eight - kOnes * limit) & ~eight; };
  std::size_t count = 0;
  for (std::uint64_t eight = 0; count + 8 <= text.size(); count += 8) {
    std::memcpy(&eight, text.data() + count, 8);
    const std::uint64_t found =
        (below(eight ^ kOnes * '"', 1) | below(eight ^ kOnes * '\\', 1) | below(eight, 0x20)) & kHighBits;
    if (found) return count + static_cast<std::size_t>(std::countr_zero(found)) / 8;
  }
  while (count < text.size() && !needs_decoding(text[count])) ++count;
  return count;
}

// The top of a stack, from `base` on, taken off it into a container of its exact size.
template <typename Container, typename Item>
Container take_top(std::vector<Item>& stack, std::size_t base) {
  const auto first = stack.begin() + static_cast<std::ptrdiff_t>(base);
  Container top(std::make_move_iterator(first), std::make_move_iterator(stack.end()));
  stack.erase(first, stack.end());
  return top;
}

// Reads by recursive descent; each step consumes what it reads from `rest_`.
class Reader {
 public:
  explicit Reader(std::span<char> text) : text_(text.data()), rest_(text.data(), text.size()) {}

  Result<JsonValue, NotJson> read_document() {
    skip_white_space();
    Result<JsonValue, NotJson> value = read_value(kDepthLimit);
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

  Result<JsonValue, NotJson> read_value(int depth) {
    switch (peek()) {
      case '{': return read_object(depth - 1);
      case '[': return read_array(depth - 1);
      case 't': return read_literal("true", {true});
      case 'f': return read_literal("false", {false});
      case 'n': return read_literal("null", {nullptr});
      case '"': {
        const Result<std::string_view, NotJson> text = read_string();
        if (!text) return NotJson{};
        return JsonValue{*text};
      }
      default: return read_number();
    }
  }

  Result<JsonValue, NotJson> read_literal(std::string_view literal, JsonValue value) {
    if (!rest_.starts_with(literal)) return NotJson{};
    rest_.remove_prefix(literal.size());
    return value;
  }

  // Elements and members gather on stacks that every level shares, then move at once into an array
  // or object of their exact size.
  Result<JsonValue, NotJson> read_array(int depth) {
    const std::size_t base = elements_.size();
    const bool read = depth > 0 && read_items(']', [&] {
                        Result<JsonValue, NotJson> element = read_value(depth);
                        if (element) elements_.push_back(std::move(*element));
                        return static_cast<bool>(element);
                      });
    if (!read) return NotJson{};
    return JsonValue{take_top<JsonArray>(elements_, base)};
  }

  Result<JsonValue, NotJson> read_object(int depth) {
    const std::size_t base = members_.size();
    const bool read = depth > 0 && read_items('}', [&] {
                        const Result<std::string_view, NotJson> key = peek() == '"' ? read_string() : NotJson{};
                        skip_white_space();
                        if (!key || !take(rest_, ':')) return false;
                        skip_white_space();
                        Result<JsonValue, NotJson> value = read_value(depth);
                        if (value) members_.push_back({*key, std::move(*value)});
                        return static_cast<bool>(value);
                      });
    if (!read) return NotJson{};
    return JsonValue{take_top<JsonObject>(members_, base)};
  }

  // After an opening bracket or brace: items, each read by `read_item`, separated by commas, up to
  // `close`; white space around any of them.
  template <typename ReadItem>
  bool read_items(char close, ReadItem read_item) {
    rest_.remove_prefix(1);
    skip_white_space();
    if (take(rest_, close)) return true;
    do {
      skip_white_space();
      if (!read_item()) return false;
      skip_white_space();
    } while (take(rest_, ','));
    return take(rest_, close);
  }

  // The string whose opening quote is next. Its escapes are decoded in place, in the text: no
  // character takes more bytes than its escape, so what is decoded never reaches what is unread.
  Result<std::string_view, NotJson> read_string() {
    rest_.remove_prefix(1);
    char* const start = text_ + (rest_.data() - text_);
    char* end = start;  // of what is decoded
    for (;;) {
      const std::size_t plain = plain_prefix(rest_);
      if (end != rest_.data()) std::memmove(end, rest_.data(), plain);  // only once an escape shrank the text
      end += plain;
      rest_.remove_prefix(plain);
      const char c = peek();
      if (static_cast<unsigned char>(c) < 0x20) return NotJson{};  // a raw control character, or the end
      rest_.remove_prefix(1);
      if (c == '"') return std::string_view(start, static_cast<std::size_t>(end - start));
      const char escape = peek();
      rest_.remove_prefix(rest_.empty() ? 0 : 1);
      if (const std::size_t at = kEscapeLetters.find(escape); at != std::string_view::npos) {
        *end++ = kEscapedCharacters[at];
      } else if (escape == '/') {
        *end++ = escape;
      } else if (escape == 'u') {
        const Result<std::uint32_t, NotJson> code_point = read_escaped_character();
        if (!code_point) return NotJson{};
        end = write_utf8(*code_point, end);
      } else {
        return NotJson{};
      }
    }
  }

  Result<std::uint32_t, NotJson> read_hex4() {
    std::uint32_t value = 0;
    const char* const end = rest_.data() + std::min<std::size_t>(rest_.size(), 4);
    const auto [stop, error] = std::from_chars(rest_.data(), end, value, 16);
    if (error != std::errc() || stop != rest_.data() + 4) return NotJson{};
    rest_.remove_prefix(4);
    return value;
  }

  // After "\u": four hex digits, and after a leading surrogate the escaped trailing one.
  Result<std::uint32_t, NotJson> read_escaped_character() {
    const Result<std::uint32_t, NotJson> code_point = read_hex4();
    if (!code_point || (*code_point >= 0xDC00 && *code_point <= 0xDFFF)) return NotJson{};
    if (*code_point < 0xD800 || *code_point > 0xDBFF) return *code_point;
    if (!take(rest_, '\\') || !take(rest_, 'u')) return NotJson{};
    const Result<std::uint32_t, NotJson> trailing = read_hex4();
    if (!trailing || *trailing < 0xDC00 || *trailing > 0xDFFF) return NotJson{};
    return 0x10000 + ((*code_point - 0xD800) << 10) + (*trailing - 0xDC00);
  }

  // A number by the JSON grammar. An integer keeps an integer form when one holds it; every other
  // number is floating point.
  Result<JsonValue, NotJson> read_number() {
    std::string_view rest = rest_;
    take(rest, '-');
    const bool leading_zero = rest.starts_with('0');
    const std::size_t integer_digits = take_digits(rest);
    if (integer_digits == 0 || (integer_digits > 1 && leading_zero)) return NotJson{};
    const bool fraction = take(rest, '.');
    if (fraction && take_digits(rest) == 0) return NotJson{};
    const bool exponent = take(rest, 'e') || take(rest, 'E');
    if (exponent && !take(rest, '+')) take(rest, '-');
    if (exponent && take_digits(rest) == 0) return NotJson{};
    const std::string_view number = rest_.substr(0, rest_.size() - rest.size());
    rest_ = rest;
    return number_value(number, !fraction && !exponent);
  }

  char* const text_;  // the text being read, written to where escapes are decoded
  std::string_view rest_;
  std::vector<JsonValue> elements_;
  std::vector<JsonMember> members_;
};

}  // namespace

Result<JsonValue, NotJson> read_json(std::span<char> text) { return Reader(text).read_document(); }

}  // namespace zelto
