#include <gtest/gtest.h>

#include "commands/command_table.h"
#include "json/writer.h"

namespace zelto {
namespace {

const TerminalEnv kEnv{"n", 8080, "t"};

// The request written, or the usage text.
std::string outcome(std::vector<std::string> arguments) {
  auto built = build_command(kEnv, arguments);
  if (auto* usage = std::get_if<UsageError>(&built)) return usage->text;
  return to_json(std::get<Command>(built).request.root());
}

TEST(CommandTable, EachVerbByArgumentCount) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"list"}, R"({"from":"n","token":"t","verb":"list"})"},
      {{"list", "a"}, R"({"from":"n","token":"t","verb":"list"})"},
      {{"send", "a"}, R"({"from":"n","message":"a","token":"t","verb":"send"})"},
      {{"send", "a", "b", "c"}, R"({"from":"n","message":"b c","target":"a","token":"t","verb":"send"})"},
      {{"reply", "a"}, R"({"from":"n","message":"a","token":"t","verb":"reply"})"},
      {{"reply", "a", "", "b"}, R"({"from":"n","message":"a  b","token":"t","verb":"reply"})"},
      {{"note", "T"}, R"({"from":"n","title":"T","token":"t","verb":"note"})"},
      {{"note", "T", ""}, R"({"from":"n","message":"","title":"T","token":"t","verb":"note"})"},
      {{"html", "T", "a", "b"}, R"({"from":"n","message":"a b","title":"T","token":"t","verb":"html"})"},
      {{"diagram", "T"}, R"({"from":"n","title":"T","token":"t","verb":"diagram"})"},
      {{"diagram", "T", "{", "}"}, R"({"diagram":"{ }","from":"n","title":"T","token":"t","verb":"diagram"})"},
      {{"browser", "u"}, R"({"from":"n","token":"t","url":"u","verb":"browser"})"},
      {{"browser", "a", "b", "c"}, R"({"from":"n","target":"a","token":"t","url":"b","verb":"browser"})"},
  };
  for (const auto& [arguments, expected] : cases) EXPECT_EQ(outcome(arguments), expected) << arguments[0];
}

TEST(CommandTable, RefusalsBeforeAnyRequest) {
  EXPECT_TRUE(outcome({}).starts_with("zelto: comando desconhecido ''."));
  EXPECT_TRUE(outcome({"LIST"}).starts_with("zelto: comando desconhecido 'LIST'."));
  EXPECT_TRUE(outcome({"send"}).starts_with("uso: zelto send "));
  EXPECT_TRUE(outcome({"browser"}).starts_with("uso: zelto browser "));
}

}  // namespace
}  // namespace zelto
