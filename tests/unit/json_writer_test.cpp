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

}  // namespace
}  // namespace zelto
