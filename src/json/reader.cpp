#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "json/document.h"
#include "text/utf8.h"

namespace zelto {
namespace {

// A depth counter starts here and is lowered on entering each array or object; reaching 0 fails.
constexpr int kDepthLimit = 128;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char* encode_utf8(std::uint32_t code_point, char* out) {
  if (code_point < 0x80) {
    *out++ = static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code_point >> 6));
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code_point >> 12));
    *out++ = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code_point >> 18));
    *out++ = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  }
  return out;
}

// For a number whose magnitude floating point cannot hold: true when it is too small rather than
// too large, found from the place of its first significant digit and its exponent.
bool is_below_one(std::string_view number) {
  std::size_t i = number[0] == '-' ? 1 : 0;
  std::int64_t magnitude = -1;  // the power of ten of the first significant digit
  bool found = false;
  for (; i < number.size() && is_digit(number[i]); ++i) {
    found = found || number[i] != '0';
    if (found) ++magnitude;
  }
  if (i < number.size() && number[i] == '.') {
    for (++i; i < number.size() && is_digit(number[i]) && !found; ++i) {
      found = number[i] != '0';
      if (!found) --magnitude;
    }
    while (i < number.size() && is_digit(number[i])) ++i;
  }
  std::int64_t exponent = 0;
  if (i < number.size()) {  // 'e' or 'E'
    const bool negative = number[++i] == '-';
    if (number[i] == '-' || number[i] == '+') ++i;
    for (; i < number.size(); ++i) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (number[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent < 0;
}

class Reader {
 public:
  Reader(char* begin, char* end, JsonStore& store) : p_(begin), end_(end), store_(store) {}

  // The text ends with a NUL byte at `end`; no loop reads past it, because a NUL stops each of them.
  bool read_document(JsonValue& root) {
    skip_white_space();
    if (!read_value(root, kDepthLimit)) return false;
    skip_white_space();
    return p_ == end_;
  }

 private:
  void skip_white_space() {
    while (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t') ++p_;
  }

  bool read_value(JsonValue& out, int depth) {
    switch (*p_) {
      case '{': return read_object(out, depth);
      case '[': return read_array(out, depth);
      case '"': {
        std::string_view text;
        if (!read_string(text)) return false;
        out = JsonValue::string(text);
        return true;
      }
      case 't': return read_literal("true", JsonValue::boolean(true), out);
      case 'f': return read_literal("false", JsonValue::boolean(false), out);
      case 'n': return read_literal("null", JsonValue(), out);
      default: return read_number(out);
    }
  }

  bool read_literal(std::string_view literal, JsonValue value, JsonValue& out) {
    if (static_cast<std::size_t>(end_ - p_) < literal.size() || std::memcmp(p_, literal.data(), literal.size()) != 0) {
      return false;
    }
    p_ += literal.size();
    out = value;
    return true;
  }

  bool read_array(JsonValue& out, int depth) {
    if (--depth == 0) return false;
    ++p_;
    skip_white_space();
    const std::size_t base = elements_.size();
    if (*p_ != ']') {
      for (;;) {
        JsonValue element;
        if (!read_value(element, depth)) return false;
        elements_.push_back(element);
        skip_white_space();
        if (*p_ != ',') break;
        ++p_;
        skip_white_space();
      }
      if (*p_ != ']') return false;
    }
    ++p_;
    out = store_.array({elements_.data() + base, elements_.size() - base});
    elements_.resize(base);
    return true;
  }

  bool read_object(JsonValue& out, int depth) {
    if (--depth == 0) return false;
    ++p_;
    skip_white_space();
    const std::size_t base = members_.size();
    if (*p_ != '}') {
      for (;;) {
        JsonMember member;
        if (*p_ != '"' || !read_string(member.key)) return false;
        skip_white_space();
        if (*p_++ != ':') return false;
        skip_white_space();
        if (!read_value(member.value, depth)) return false;
        members_.push_back(member);
        skip_white_space();
        if (*p_ != ',') break;
        ++p_;
        skip_white_space();
      }
      if (*p_ != '}') return false;
    }
    ++p_;
    out = store_.object({members_.data() + base, members_.size() - base});
    members_.resize(base);
    return true;
  }

  // Reads the string at p_ (on its opening quote). Escapes are decoded in place: the decoded text
  // is never longer than its escaped form, so writing never overtakes reading.
  bool read_string(std::string_view& out) {
    char* const start = ++p_;
    for (;;) {
      const auto c = static_cast<unsigned char>(*p_);
      if (c == '"' || c == '\\' || c < 0x20) break;
      ++p_;
    }
    char* write = p_;
    for (;;) {
      const auto c = static_cast<unsigned char>(*p_);
      if (c == '"') break;
      if (c < 0x20) return false;  // a raw control character, or the end of the text
      if (c != '\\') {
        *write++ = *p_++;
        continue;
      }
      ++p_;
      switch (*p_++) {
        case '"': *write++ = '"'; break;
        case '\\': *write++ = '\\'; break;
        case '/': *write++ = '/'; break;
        case 'b': *write++ = '\b'; break;
        case 'f': *write++ = '\f'; break;
        case 'n': *write++ = '\n'; break;
        case 'r': *write++ = '\r'; break;
        case 't': *write++ = '\t'; break;
        case 'u': {
          std::uint32_t code_point = 0;
          if (!read_code_point(code_point)) return false;
          write = encode_utf8(code_point, write);
          break;
        }
        default: return false;
      }
    }
    out = {start, static_cast<std::size_t>(write - start)};
    ++p_;
    return true;
  }

  bool read_hex4(std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = hex_digit(*p_);
      if (digit < 0) return false;
      out = out << 4 | static_cast<std::uint32_t>(digit);
      ++p_;
    }
    return true;
  }

  // After "\u": four hex digits, and for a leading surrogate the escaped trailing one after it.
  bool read_code_point(std::uint32_t& out) {
    if (!read_hex4(out)) return false;
    if (out >= 0xDC00 && out <= 0xDFFF) return false;
    if (out < 0xD800 || out > 0xDBFF) return true;
    if (*p_ != '\\' || *(p_ + 1) != 'u') return false;
    p_ += 2;
    std::uint32_t trailing = 0;
    if (!read_hex4(trailing) || trailing < 0xDC00 || trailing > 0xDFFF) return false;
    out = 0x10000 + ((out - 0xD800) << 10) + (trailing - 0xDC00);
    return true;
  }

  bool read_number(JsonValue& out) {
    const char* const start = p_;
    const bool negative = *p_ == '-';
    if (negative) ++p_;
    std::uint64_t magnitude = 0;
    bool fits = true;
    if (*p_ == '0') {
      ++p_;
      if (is_digit(*p_)) return false;
    } else if (is_digit(*p_)) {
      for (; is_digit(*p_); ++p_) {
        const auto digit = static_cast<std::uint64_t>(*p_ - '0');
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) fits = false;
        magnitude = magnitude * 10 + digit;
      }
    } else {
      return false;
    }
    bool integer = true;
    if (*p_ == '.') {
      ++p_;
      if (!skip_digits()) return false;
      integer = false;
    }
    if (*p_ == 'e' || *p_ == 'E') {
      ++p_;
      if (*p_ == '+' || *p_ == '-') ++p_;
      if (!skip_digits()) return false;
      integer = false;
    }
    constexpr std::uint64_t kLargestNegative = std::uint64_t{1} << 63;
    if (integer && fits && !negative) {
      out = JsonValue::unsigned_integer(magnitude);
      return true;
    }
    if (integer && fits && magnitude != 0 && magnitude <= kLargestNegative) {
      out = JsonValue::negative_integer(static_cast<std::int64_t>(0 - magnitude));
      return true;
    }
    return read_floating(start, out);
  }

  bool skip_digits() {
    if (!is_digit(*p_)) return false;
    while (is_digit(*p_)) ++p_;
    return true;
  }

  bool read_floating(const char* start, JsonValue& out) {
    double number = 0;
    const auto [end, error] = std::from_chars(start, p_, number);
    if (error == std::errc::result_out_of_range) {
      const std::string_view digits(start, static_cast<std::size_t>(p_ - start));
      if (!is_below_one(digits)) return false;
      number = *start == '-' ? -0.0 : 0.0;
    } else if (error != std::errc() || end != p_) {
      return false;
    }
    out = JsonValue::floating(number);
    return true;
  }

  char* p_;
  char* const end_;
  JsonStore& store_;
  std::vector<JsonValue> elements_;  // elements of the arrays being read, innermost last
  std::vector<JsonMember> members_;  // members of the objects being read, innermost last
};

}  // namespace

std::optional<JsonDocument> read_json(TextBuffer text) {
  JsonStore store;
  JsonValue root;
  Reader reader(text.data(), text.data() + text.size(), store);
  if (!reader.read_document(root)) return std::nullopt;
  return JsonDocument(root, std::move(store), std::move(text));
}

std::optional<JsonDocument> read_json(std::string_view bytes) {
  if (!is_valid_utf8(bytes)) return std::nullopt;
  return read_json(TextBuffer(bytes));
}

}  // namespace zelto
