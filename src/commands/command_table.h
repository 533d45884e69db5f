#pragma once

#include <span>
#include <string>
#include <string_view>

#include "env/terminal_env.h"
#include "failure.h"
#include "result.h"
#include "verb.h"

namespace zelto {

// A verb, and the members of the request it builds from the arguments after it (a1, a2, ...):
// with one argument, a1 goes to `alone`; with more, a1 goes to `first`, and `rest` takes the others
// joined with single spaces, or only a2 when `rest_is_one_word`; a verb with no `first` gives `rest`
// every argument. A verb with no `alone` takes no arguments and ignores any it is given; without
// arguments, every other verb prints its usage.
struct VerbRow {
  std::string_view name;
  Verb verb;
  std::string_view usage;
  std::string_view alone, first, rest;
  bool rest_is_one_word = false;
};

// Every verb, in the order the unknown-verb text lists them.
inline constexpr VerbRow kVerbs[] = {
    {"list", Verb::list, "", "", "", ""},
    {"send", Verb::send, "uso: zelto send <alvo> <mensagem>  |  zelto send <mensagem>\n", "message", "target",
     "message"},
    {"reply", Verb::reply, "uso: zelto reply <sua resposta>\n", "message", "", "message"},
    {"note", Verb::note, "uso: zelto note <titulo> [conteudo inicial]\n", "title", "title", "message"},
    {"diagram", Verb::diagram, "uso: zelto diagram <titulo> [json {boxes,arrows}]\n", "title", "title", "diagram"},
    {"html", Verb::html, "uso: zelto html <titulo> [html inicial]\n", "title", "title", "message"},
    {"browser", Verb::browser, "uso: zelto browser [nome] <url>\n", "url", "target", "url", true},
};

// A verb and the request it sends to the app, written as compact JSON: an object of strings with
// "token", "from", "verb" and the verb's own members.
struct Command {
  Verb verb;
  std::string request;
};

// Turns the arguments after the program name (verb first) into a command. Fails with status 2 when
// an argument is not valid UTF-8, the verb is unknown or the verb's arguments are missing.
Result<Command, Failure> build_command(const TerminalEnv& env, std::span<const std::string> arguments);

}  // namespace zelto
