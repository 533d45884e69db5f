#include <charconv>
#include <cstdint>
#include <cstring>
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

// Reads values by recursive descent. Values come back in registers, not through memory; a failure
// sets `failed_` and gives a null value, which every caller passes up at once.
class Reader {
 public:
  Reader(char* begin, char* end, JsonStore& store) : p_(begin), end_(end), store_(store) {}

  // The text ends with a NUL byte at `end`; no loop reads past it, because a NUL stops each of them.
  std::optional<JsonValue> read_document() {
    skip_white_space();
    const JsonValue root = read_value(kDepthLimit);
    skip_white_space();
    if (failed_ || p_ != end_) return std::nullopt;
    return root;
  }

 private:
  JsonValue fail() {
    failed_ = true;
    return {};
  }

  void skip_white_space() {
    while (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t') ++p_;
  }

  JsonValue read_value(int depth) {
    switch (*p_) {
      case '{': return read_object(depth);
      case '[': return read_array(depth);
      case '"': return JsonValue::string(read_string());
      case 't': return read_literal("true", JsonValue::boolean(true));
      case 'f': return read_literal("false", JsonValue::boolean(false));
      case 'n': return read_literal("null", JsonValue());
      default: return read_number();
    }
  }

  JsonValue read_literal(std::string_view literal, JsonValue value) {
    if (static_cast<std::size_t>(end_ - p_) < literal.size() || std::memcmp(p_, literal.data(), literal.size()) != 0) {
      return fail();
    }
    p_ += literal.size();
    return value;
  }

  JsonValue read_array(int depth) {
    if (--depth == 0) return fail();
    ++p_;
    skip_white_space();
    const std::size_t base = elements_.size();
    if (*p_ != ']') {
      for (;;) {
        // Numbers are the commonest element of long arrays: read them without the dispatch.
        const JsonValue element = is_digit(*p_) || *p_ == '-' ? read_number() : read_value(depth);
        if (failed_) return {};
        elements_.push_back(element);
        skip_white_space();
        if (*p_ != ',') break;
        ++p_;
        skip_white_space();
      }
      if (*p_ != ']') return fail();
    }
    ++p_;
    const JsonValue array = store_.array({elements_.data() + base, elements_.size() - base});
    elements_.resize(base);
    return array;
  }

  JsonValue read_object(int depth) {
    if (--depth == 0) return fail();
    ++p_;
    skip_white_space();
    const std::size_t base = members_.size();
    if (*p_ != '}') {
      for (;;) {
        if (*p_ != '"') return fail();
        const std::string_view key = read_string();
        skip_white_space();
        if (failed_ || *p_ != ':') return fail();
        ++p_;
        skip_white_space();
        const JsonValue value = read_value(depth);
        if (failed_) return {};
        members_.push_back({key, value});
        skip_white_space();
        if (*p_ != ',') break;
        ++p_;
        skip_white_space();
      }
      if (*p_ != '}') return fail();
    }
    ++p_;
    const JsonValue object = store_.object({members_.data() + base, members_.size() - base});
    members_.resize(base);
    return object;
  }

  // The string at p_ (on its opening quote). Escapes are decoded in place: the decoded text is never
  // longer than its escaped form, so writing never overtakes reading.
  std::string_view read_string() {
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
      if (c < 0x20) return fail_text();  // a raw control character, or the end of the text
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
          if (!read_code_point(code_point)) return fail_text();
          write = encode_utf8(code_point, write);
          break;
        }
        default: return fail_text();
      }
    }
    ++p_;
    return {start, static_cast<std::size_t>(write - start)};
  }

  std::string_view fail_text() {
    failed_ = true;
    return {};
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

  // A number by the JSON grammar. An integer keeps an integer form when one holds it; anything
  // else is floating point, exact in one step where it can be (Clinger's fast path): when its
  // digits, at most 19, make an integer below 2^53 and the power of ten is within 10^22, both are
  // exact doubles and one multiplication or division rounds the result correctly.
  JsonValue read_number() {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* const start = p_;
    const bool negative = *p_ == '-';
    if (negative) ++p_;
    const char* const integer_start = p_;
    std::uint64_t digits = 0;  // all the digits read, integer and fraction; meaningful up to 19 of them
    for (; is_digit(*p_); ++p_) digits = digits * 10 + static_cast<std::uint64_t>(*p_ - '0');
    const auto integer_count = static_cast<std::size_t>(p_ - integer_start);
    if (integer_count == 0 || (integer_count > 1 && *integer_start == '0')) return fail();
    const std::size_t leading_zero = *integer_start == '0' ? 1 : 0;

    bool integer = true;
    std::size_t fraction_count = 0;
    if (*p_ == '.') {
      const char* const fraction_start = ++p_;
      for (; is_digit(*p_); ++p_) digits = digits * 10 + static_cast<std::uint64_t>(*p_ - '0');
      fraction_count = static_cast<std::size_t>(p_ - fraction_start);
      if (fraction_count == 0) return fail();
      integer = false;
    }
    std::int64_t exponent = 0;
    if (*p_ == 'e' || *p_ == 'E') {
      ++p_;
      const bool negative_exponent = *p_ == '-';
      if (*p_ == '+' || *p_ == '-') ++p_;
      if (!is_digit(*p_)) return fail();
      for (; is_digit(*p_); ++p_) {
        if (exponent < 1'000'000'000) exponent = exponent * 10 + (*p_ - '0');
      }
      if (negative_exponent) exponent = -exponent;
      integer = false;
    }

    if (integer) {
      std::uint64_t magnitude = digits;
      const bool fits = integer_count <= 19 || parse_long_integer({integer_start, integer_count}, magnitude);
      constexpr std::uint64_t kLargestNegative = std::uint64_t{1} << 63;
      if (fits && !negative) return JsonValue::unsigned_integer(magnitude);
      if (fits && magnitude != 0 && magnitude <= kLargestNegative) {
        return JsonValue::negative_integer(static_cast<std::int64_t>(0 - magnitude));
      }
    }
    const std::int64_t power = exponent - static_cast<std::int64_t>(fraction_count);
    if (integer_count - leading_zero + fraction_count <= 19 && digits <= (std::uint64_t{1} << 53) && power >= -22 &&
        power <= 22) {
      const double value = static_cast<double>(digits);
      const double magnitude = power < 0 ? value / kPowersOfTen[-power] : value * kPowersOfTen[power];
      return JsonValue::floating(negative ? -magnitude : magnitude);
    }
    return read_floating(start);
  }

  // An integer of 20 digits or more, when it fits an unsigned 64-bit integer.
  static bool parse_long_integer(std::string_view digits, std::uint64_t& out) {
    std::uint64_t value = 0;
    for (const char digit : digits) {
      if (__builtin_mul_overflow(value, 10, &value) ||
          __builtin_add_overflow(value, static_cast<std::uint64_t>(digit - '0'), &value)) {
        return false;
      }
    }
    out = value;
    return true;
  }

  // Any other floating-point number; one beyond the range of doubles fails, one too small is 0.
  JsonValue read_floating(const char* start) {
    double number = 0;
    const auto [end, error] = std::from_chars(start, p_, number);
    if (error == std::errc::result_out_of_range) {
      if (!is_below_one({start, static_cast<std::size_t>(p_ - start)})) return fail();
      number = *start == '-' ? -0.0 : 0.0;
    } else if (error != std::errc() || end != p_) {
      return fail();
    }
    return JsonValue::floating(number);
  }

  char* p_;
  char* const end_;
  JsonStore& store_;
  bool failed_ = false;
  std::vector<JsonValue> elements_;  // elements of the arrays being read, innermost last
  std::vector<JsonMember> members_;  // members of the objects being read, innermost last
};

}  // namespace

std::optional<JsonDocument> read_json(TextBuffer text) {
  JsonStore store;
  const std::optional<JsonValue> root = Reader(text.data(), text.data() + text.size(), store).read_document();
  if (!root) return std::nullopt;
  return JsonDocument(*root, std::move(store), std::move(text));
}

std::optional<JsonDocument> read_json(std::string_view bytes) {
  if (!is_valid_utf8(bytes)) return std::nullopt;
  return read_json(TextBuffer(bytes));
}

}  // namespace zelto
