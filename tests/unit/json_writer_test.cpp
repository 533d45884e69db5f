#include <gtest/gtest.h>

#include "json/writer.h"

namespace zelto {
namespace {

JsonValue string(const char* text) { return {std::string(text)}; }

TEST(JsonWriter, ObjectMembersInByteOrderOfKeys) {
  EXPECT_EQ(to_json(make_object({{"token", string("t")}, {"from", string("n")}, {"verb", string("list")}})),
            R"({"from":"n","token":"t","verb":"list"})");
  EXPECT_EQ(to_json(make_object({{"b", {}}, {"ab", {}}, {"a", {}}, {"é", {}}, {"Z", {}}})),
            R"({"Z":null,"a":null,"ab":null,"b":null,"é":null})");
}

TEST(JsonWriter, RepeatedKeyKeepsTheLastValue) {
  EXPECT_EQ(to_json(make_object({{"b", {std::uint64_t{1}}}, {"a", {}}, {"b", {std::uint64_t{2}}}, {"b", {std::uint64_t{3}}}})),
            R"({"a":null,"b":3})");
}

}  // namespace
}  // namespace zelto
