#include <gtest/gtest.h>

#include "json/document.h"
#include "json/store.h"
#include "json/writer.h"

namespace zelto {
namespace {

TEST(JsonWriter, ObjectMembersInByteOrderOfKeys) {
  JsonStore store;
  const JsonMember request[] = {{"token", store.string("t")}, {"from", store.string("n")}, {"verb", store.string("list")}};
  EXPECT_EQ(to_json(store.object(request)), R"({"from":"n","token":"t","verb":"list"})");

  const JsonMember keys[] = {{"b", JsonValue()}, {"ab", JsonValue()}, {"a", JsonValue()}, {"é", JsonValue()},
                             {"Z", JsonValue()}};
  EXPECT_EQ(to_json(store.object(keys)), R"({"Z":null,"a":null,"ab":null,"b":null,"é":null})");
}

TEST(JsonWriter, RepeatedKeyKeepsTheLastValue) {
  JsonStore store;
  const JsonMember members[] = {{"b", JsonValue::unsigned_integer(1)}, {"a", JsonValue()},
                                {"b", JsonValue::unsigned_integer(2)}, {"b", JsonValue::unsigned_integer(3)}};
  EXPECT_EQ(to_json(store.object(members)), R"({"a":null,"b":3})");
}

TEST(JsonWriter, EscapesOnlyWhatJsonRequires) {
  JsonStore store;
  EXPECT_EQ(to_json(store.string("l\nt\t\"q\" \x01 \\")), R"("l\nt\t\"q\" \u0001 \\")");
  EXPECT_EQ(to_json(store.string("\b\f\r\x1f\x0b")), R"("\b\f\r\u001f\u000b")");
  EXPECT_EQ(to_json(store.string("é — / \x7f")), "\"é — / \x7f\"");
  EXPECT_EQ(to_json(store.string(std::string_view("a\0b", 3))), R"("a\u0000b")");
}

TEST(JsonWriter, ScalarsAndContainers) {
  JsonStore store;
  const JsonValue elements[] = {JsonValue(), JsonValue::boolean(true), JsonValue::boolean(false),
                                JsonValue::unsigned_integer(18446744073709551615ull),
                                JsonValue::negative_integer(INT64_MIN), store.array({}), store.object({})};
  EXPECT_EQ(to_json(store.array(elements)), "[null,true,false,18446744073709551615,-9223372036854775808,[],{}]");
}

TEST(JsonWriter, FloatingPointStaysFloatingPoint) {
  for (const double number : {2.0, -0.0, 0.1, 1e300, -1.5e-300, 5e-324, 123456789012345678.0}) {
    const std::string text = to_json(JsonValue::floating(number));
    const std::optional<JsonDocument> back = read_json(std::string_view(text));
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(back->root().kind(), JsonKind::floating) << text;
    EXPECT_EQ(back->root().as_floating(), number) << text;
  }
  EXPECT_EQ(to_json(JsonValue::floating(2.0)), "2.0");
}

TEST(JsonWriter, ReadingThenWritingIsCompact) {
  const std::optional<JsonDocument> document = read_json(" { \"b\" : [ 1 , \"\\u00e9\\/\" ] , \"a\" : { } } ");
  ASSERT_TRUE(document);
  EXPECT_EQ(to_json(document->root()), R"({"a":{},"b":[1,"é/"]})");
}

TEST(JsonLookups, AbsentForOtherKinds) {
  JsonStore store;
  const JsonValue string = store.string("x");
  const JsonValue array = store.array(std::span(&string, 1));
  const JsonMember members[] = {{"k", string}};
  const JsonValue object = store.object(members);
  for (const JsonValue& value : {string, array, JsonValue()}) EXPECT_EQ(member(&value, "k"), nullptr);
  EXPECT_EQ(member(nullptr, "k"), nullptr);
  EXPECT_EQ(member(&object, "k"), &object.as_object()[0].value);
  EXPECT_EQ(member(&object, "K"), nullptr);
  EXPECT_EQ(text(&string), "x");
  EXPECT_FALSE(text(nullptr));
  EXPECT_FALSE(text(&array));
  const JsonValue number = JsonValue::unsigned_integer(1);
  EXPECT_FALSE(text(&number));
  EXPECT_FALSE(items(&object));
  EXPECT_EQ(items(&array)->size(), 1u);
  const JsonValue yes = JsonValue::boolean(true), no = JsonValue::boolean(false);
  EXPECT_TRUE(truth(&yes));
  EXPECT_FALSE(truth(&no));
  EXPECT_FALSE(truth(&number));
  EXPECT_FALSE(truth(nullptr));
}

}  // namespace
}  // namespace zelto
