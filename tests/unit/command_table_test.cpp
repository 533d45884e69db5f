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

TEST(CommandTable, UnrecognisedVerbs) {
  const std::string tail = ". Use: list | send | reply | note | diagram | html | browser\n";
  EXPECT_EQ(outcome({}), "zelto: comando desconhecido ''" + tail);
  EXPECT_EQ(outcome({"LIST"}), "zelto: comando desconhecido 'LIST'" + tail);
  EXPECT_EQ(outcome({"lis", "x"}), "zelto: comando desconhecido 'lis'" + tail);
}

TEST(CommandTable, EveryVerbButListNeedsAnArgument) {
  EXPECT_EQ(outcome({"send"}), "uso: zelto send <alvo> <mensagem>  |  zelto send <mensagem>\n");
  EXPECT_EQ(outcome({"reply"}), "uso: zelto reply <sua resposta>\n");
  EXPECT_EQ(outcome({"note"}), "uso: zelto note <titulo> [conteudo inicial]\n");
  EXPECT_EQ(outcome({"diagram"}), "uso: zelto diagram <titulo> [json {boxes,arrows}]\n");
  EXPECT_EQ(outcome({"html"}), "uso: zelto html <titulo> [html inicial]\n");
  EXPECT_EQ(outcome({"browser"}), "uso: zelto browser [nome] <url>\n");
}

}  // namespace
}  // namespace zelto
