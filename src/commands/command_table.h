#pragma once

#include <span>
#include <string>
#include <string_view>

#include "env/terminal_env.h"
#include "failure.h"
#include "report/report.h"
#include "result.h"

namespace zelto {

// A verb: its name, its usage text, the members of the request it builds from the arguments
// after it (a1, a2, ...), and its report. With one argument, a1 goes to `alone`; with more, a1 goes
// to `first`, and `rest` takes the others joined with single spaces, or only a2 when
// `rest_is_one_word`; a verb with no `first` gives `rest` every argument. A verb with no usage
// takes no arguments and ignores any it is given; without arguments, every other verb prints its
// usage.
struct VerbRow {
  std::string_view name;
  std::string_view usage{};
  std::string_view alone{}, first{}, rest{};
  bool rest_is_one_word = false;
  void (*report)(const JsonValue& response, ReportText& out);
};

// Every verb, in the order the unknown-verb text lists them.
inline constexpr VerbRow kVerbs[] = {
    {.name = "list", .report = report_listing},
    {.name = "send",
     .usage = "uso: zelto send <alvo> <mensagem>  |  zelto send <mensagem>\n",
     .alone = "message",
     .first = "target",
     .rest = "message",
     .report = report_sent},
    {.name = "reply",
     .usage = "uso: zelto reply <sua resposta>\n",
     .alone = "message",
     .rest = "message",
     .report = report_reply},
    {.name = "note",
     .usage = "uso: zelto note <titulo> [conteudo inicial]\n",
     .alone = "title",
     .first = "title",
     .rest = "message",
     .report = report_note},
    {.name = "diagram",
     .usage = "uso: zelto diagram <titulo> [json {boxes,arrows}]\n",
     .alone = "title",
     .first = "title",
     .rest = "diagram",
     .report = report_diagram},
    {.name = "html",
     .usage = "uso: zelto html <titulo> [html inicial]\n",
     .alone = "title",
     .first = "title",
     .rest = "message",
     .report = report_page},
    {.name = "browser",
     .usage = "uso: zelto browser [nome] <url>\n",
     .alone = "url",
     .first = "target",
     .rest = "url",
     .rest_is_one_word = true,
     .report = report_browser},
};

// A verb and the request it sends to the app, written as compact JSON: an object of strings with
// "token", "from", "verb" and the verb's own members.
struct Command {
  const VerbRow* verb;
  std::string request;
};

// Turns the arguments after the program name (verb first) into a command. Fails with status 2 when
// an argument is not valid UTF-8, the verb is unknown or the verb's arguments are missing.
Result<Command, Failure> build_command(const TerminalEnv& env, std::span<const std::string> arguments);

}  // namespace zelto
