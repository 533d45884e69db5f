#include "commands/command_table.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "json/json.h"
#include "text/text.h"

namespace zelto {
namespace {

// The arguments joined with one space between neighbours, nothing else added or removed.
std::string join(std::span<const std::string> pieces) {
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += pieces[i];
  }
  return joined;
}

// Adds a member to the request, whose members are all strings; a member without a key is none.
void add(JsonObject& request, std::string_view key, std::string_view text) {
  if (!key.empty()) request.push_back({key, {text}});
}

// "zelto: comando desconhecido '{typed}'. Use: " and the verbs, separated by " | ".
Failure unknown_verb(std::string_view typed) {
  std::string text = "zelto: comando desconhecido '" + std::string(typed) + "'. Use: ";
  for (const VerbRow& row : kVerbs) {
    if (&row != kVerbs) text += " | ";
    text += row.name;
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
  const auto row = std::ranges::find(kVerbs, typed, &VerbRow::name);
  if (row == std::ranges::end(kVerbs)) return unknown_verb(typed);
  const std::span<const std::string> args = arguments.subspan(1);
  if (args.empty() && !row->usage.empty()) return Failure{std::string(row->usage), kExitUsage};

  std::string rest;
  JsonObject request;  // views its texts, which outlive it
  add(request, "token", env.token);
  add(request, "from", env.node_id);
  add(request, "verb", row->name);
  if (args.size() == 1) {
    add(request, row->alone, args[0]);
  } else if (args.size() > 1) {
    add(request, row->first, args[0]);
    const std::span<const std::string> others = args.subspan(row->first.empty() ? 0 : 1);
    rest = row->rest_is_one_word ? others[0] : join(others);
    add(request, row->rest, rest);
  }
  return Command{&*row, to_json({std::move(request)})};
}

}  // namespace zelto
