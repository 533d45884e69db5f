#include "commands/command_table.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "json/json.h"
#include "text/text.h"

namespace zelto {
namespace {

struct VerbEntry {
  std::string_view name;
  Verb verb;
  std::string_view usage;  // shown when the verb's arguments are missing
};

constexpr std::array kVerbs = {
    VerbEntry{"list", Verb::list, ""},
    VerbEntry{"send", Verb::send, "uso: zelto send <alvo> <mensagem>  |  zelto send <mensagem>\n"},
    VerbEntry{"reply", Verb::reply, "uso: zelto reply <sua resposta>\n"},
    VerbEntry{"note", Verb::note, "uso: zelto note <titulo> [conteudo inicial]\n"},
    VerbEntry{"diagram", Verb::diagram, "uso: zelto diagram <titulo> [json {boxes,arrows}]\n"},
    VerbEntry{"html", Verb::html, "uso: zelto html <titulo> [html inicial]\n"},
    VerbEntry{"browser", Verb::browser, "uso: zelto browser [nome] <url>\n"},
};

// The arguments joined with one space between neighbours, nothing else added or removed.
std::string join(std::span<const std::string> pieces) {
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += pieces[i];
  }
  return joined;
}

// Adds a member to the request, whose members are all strings.
void add(JsonObject& request, std::string_view key, std::string_view text) { request.push_back({key, {text}}); }

// Adds the verb's own members. `args` are the arguments after the verb, at least one; `rest` is
// the text that takes the rest of them.
void add_verb_members(Verb verb, std::span<const std::string> args, std::string_view rest, JsonObject& request) {
  const bool one = args.size() == 1;
  switch (verb) {
    case Verb::list: return;
    case Verb::send:
      if (!one) add(request, "target", args[0]);
      add(request, "message", one ? args[0] : rest);
      return;
    case Verb::reply: add(request, "message", rest); return;
    case Verb::note:
    case Verb::html:
    case Verb::diagram:
      add(request, "title", args[0]);
      if (!one) add(request, verb == Verb::diagram ? "diagram" : "message", rest);
      return;
    case Verb::browser:
      if (!one) add(request, "target", args[0]);
      add(request, "url", args[one ? 0 : 1]);
      return;
  }
}

// "zelto: comando desconhecido '{typed}'. Use: " and the verbs, separated by " | ".
Failure unknown_verb(std::string_view typed) {
  std::string text = "zelto: comando desconhecido '" + std::string(typed) + "'. Use: ";
  for (const VerbEntry& entry : kVerbs) {
    if (&entry != &kVerbs.front()) text += " | ";
    text += entry.name;
  }
  return {text + "\n", kExitUsage};
}

}  // namespace

Result<Command, Failure> build_command(const TerminalEnv& env, std::span<const std::string> arguments) {
  for (const std::string& argument : arguments) {
    if (!is_valid_utf8(argument))
      return Failure{"zelto: os argumentos precisam ser texto Unicode válido\n", kExitUsage};
  }
  const std::string_view typed = arguments.empty() ? std::string_view() : std::string_view(arguments[0]);
  const auto entry = std::ranges::find(kVerbs, typed, &VerbEntry::name);
  if (entry == kVerbs.end()) return unknown_verb(typed);
  const std::span<const std::string> args = arguments.subspan(1);
  if (args.empty() && entry->verb != Verb::list) return Failure{std::string(entry->usage), kExitUsage};

  // What takes the rest: every argument for `reply`, those after the first for the other verbs.
  const std::string rest =
      join(entry->verb == Verb::reply ? args : args.subspan(std::min<std::size_t>(args.size(), 1)));
  JsonObject request;  // views its texts, which outlive it
  add(request, "token", env.token);
  add(request, "from", env.node_id);
  add(request, "verb", entry->name);
  add_verb_members(entry->verb, args, rest, request);
  return Command{entry->verb, to_json({std::move(request)})};
}

}  // namespace zelto
