#pragma once

#include <span>
#include <string>

#include "env/terminal_env.h"
#include "failure.h"
#include "result.h"
#include "verb.h"

namespace zelto {

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
