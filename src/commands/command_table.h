#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "env/terminal_env.h"
#include "json/value.h"
#include "verb.h"

namespace zelto {

// A verb and the request it sends to the app: an object of strings with "token", "from", "verb"
// and the verb's own members.
struct Command {
  Verb verb;
  JsonValue request;
};

// The text shown on standard error for an unrecognised verb or a wrong number of arguments.
struct UsageError {
  std::string text;
};

inline constexpr std::string_view kArgumentsNotUnicodeText =
    "zelto: os argumentos precisam ser texto Unicode válido\n";

// Turns the arguments after the program name (verb first) into a command.
std::variant<Command, UsageError> build_command(const TerminalEnv& env, std::span<const std::string> arguments);

}  // namespace zelto
