#include "commands/command_table.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "text/utf8.h"

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

// The request's members, all strings; make_object() puts them in key order.
class RequestBuilder {
 public:
  void add(std::string_view key, std::string text) { members_.push_back({std::string(key), {std::move(text)}}); }
  JsonValue finish() && { return make_object(std::move(members_)); }

 private:
  std::vector<JsonMember> members_;
};

// Adds the verb's own members. `args` are the arguments after the verb; there is at least one.
void add_verb_members(Verb verb, std::span<const std::string> args, RequestBuilder& request) {
  const bool one = args.size() == 1;
  switch (verb) {
    case Verb::list: return;
    case Verb::send:
      if (!one) request.add("target", args[0]);
      request.add("message", one ? args[0] : join(args.subspan(1)));
      return;
    case Verb::reply: request.add("message", join(args)); return;
    case Verb::note:
    case Verb::html:
    case Verb::diagram:
      request.add("title", args[0]);
      if (!one) request.add(verb == Verb::diagram ? "diagram" : "message", join(args.subspan(1)));
      return;
    case Verb::browser:
      if (!one) request.add("target", args[0]);
      request.add("url", args[one ? 0 : 1]);
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

  RequestBuilder request;
  request.add("token", env.token);
  request.add("from", env.node_id);
  request.add("verb", std::string(entry->name));
  add_verb_members(entry->verb, args, request);
  return Command{entry->verb, std::move(request).finish()};
}

}  // namespace zelto
