#include <gtest/gtest.h>

#include <cmath>

#include "json/reader.h"

namespace zelto {
namespace {

bool readable(std::string_view text) { return read_json(text).has_value(); }

std::string nested(int depth, char open, char close) { return std::string(depth, open) + std::string(depth, close); }

TEST(JsonReader, AcceptsAndRefusesByTheGrammar) {
  const std::pair<std::string_view, bool> cases[] = {
      {"null", true},         {"true", true},        {"false", true},       {"nul", false},
      {"True", false},        {"nullx", false},      {"\"\"", true},        {"[]", true},
      {"{}", true},           {" \t\r\n[ 1 , 2 ]\n", true},                 {"[1,]", false},
      {"{\"a\":1,}", false},  {"[,1]", false},       {"[1 2]", false},      {"{\"a\" 1}", false},
      {"{1:2}", false},       {"{a:1}", false},      {"{\"a\":1} x", false}, {"{\"a\":1}\n", true},
      {"", false},            {" ", false},          {"01", false},         {"-01", false},
      {"+1", false},          {".5", false},         {"1.", false},         {"1.e3", false},
      {"1e", false},          {"1e+", false},        {"-", false},          {"-a", false},
      {"0x10", false},        {"1E+2", true},        {"-0.0e-0", true},     {"\"\\x\"", false},
      {"\"\\u12\"", false},   {"\"\\u12g4\"", false}, {"\"a\tb\"", false},  {"\"abc", false},
      {"\"\\", false},        {"[\"\\u0000\"]", true}, {"\"\\/\"", true},   {"\f1", false},
      {"\xef\xbb\xbf{}", false}, {"[1]]", false},    {"{\"a\":1}}", false}, {"\"\x7f\"", true},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(readable(text), expected) << text;
}

// True when `text` reads as a number of exactly the form and value of `expected`.
template <typename Number>
bool reads_as(std::string_view text, Number expected) {
  const std::optional<JsonValue> value = read_json(text);
  const Number* number = value ? std::get_if<Number>(&value->data) : nullptr;
  return number && *number == expected && std::signbit(static_cast<double>(*number)) == std::signbit(static_cast<double>(expected));
}

TEST(JsonReader, NumberForms) {
  EXPECT_TRUE(reads_as("3", std::uint64_t{3}));
  EXPECT_TRUE(reads_as("0", std::uint64_t{0}));
  EXPECT_TRUE(reads_as("18446744073709551615", std::uint64_t{18446744073709551615ull}));
  EXPECT_TRUE(reads_as("18446744073709551616", 18446744073709551616.0));
  EXPECT_TRUE(reads_as("-3", std::int64_t{-3}));
  EXPECT_TRUE(reads_as("-9223372036854775808", std::int64_t{INT64_MIN}));
  EXPECT_TRUE(reads_as("-9223372036854775809", -9223372036854775809.0));
  EXPECT_TRUE(reads_as("3.0", 3.0));
  EXPECT_TRUE(reads_as("1e3", 1000.0));
  EXPECT_TRUE(reads_as("-1.5E-2", -0.015));
  EXPECT_TRUE(reads_as("1e-310", 1e-310));  // subnormal, still representable
  EXPECT_TRUE(reads_as("-0", -0.0));
}

TEST(JsonReader, NumbersBeyondFloatingPointRange) {
  for (const char* tiny : {"1e-400", "0.0000001e-320", "12345e-330", "0.1e-99999999999999999999"}) {
    EXPECT_TRUE(reads_as(tiny, 0.0)) << tiny;
  }
  EXPECT_TRUE(reads_as("-1e-400", -0.0));
  for (const char* huge : {"1e400", "-1e400", "100000e304", "0.001e312", "1e99999999999999999999", "[1.8e308]"}) {
    EXPECT_FALSE(readable(huge)) << huge;
  }
  EXPECT_TRUE(readable("1.7976931348623157e308"));
  EXPECT_TRUE(readable("0.00001e310"));
}

TEST(JsonReader, UnsignedLookupOnReadValues) {
  const std::pair<std::string_view, std::optional<std::uint64_t>> cases[] = {
      {"3", 3}, {"3.0", std::nullopt}, {"-3", std::nullopt}, {"-0", std::nullopt},
      {"\"3\"", std::nullopt}, {"18446744073709551616", std::nullopt}, {"true", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    const std::optional<JsonValue> value = read_json(text);
    EXPECT_EQ(unsigned_number(&*value), expected) << text;
  }
}

TEST(JsonReader, DepthLimit) {
  EXPECT_TRUE(readable(nested(127, '[', ']')));
  EXPECT_FALSE(readable(nested(128, '[', ']')));
  std::string objects;
  for (int i = 0; i < 126; ++i) objects += "{\"a\":";
  EXPECT_TRUE(readable(objects + "[]" + std::string(126, '}')));
  EXPECT_FALSE(readable(objects + "[[]]" + std::string(126, '}')));
  EXPECT_FALSE(readable(nested(100000, '[', ']')));
}

}  // namespace
}  // namespace zelto
