// zelto: one request from a terminal of the app, one report. The run is a straight pipeline:
// environment gate, command table, exchange with the app, report.

#include <new>
#include <string>
#include <variant>
#include <vector>

#include "commands/command_table.h"
#include "env/terminal_env.h"
#include "exit_status.h"
#include "link/exchange.h"
#include "platform/platform.h"
#include "report/report.h"

namespace {

using namespace zelto;

int run(int argc, char** argv) {
  const std::optional<TerminalEnv> env = read_terminal_env();
  if (!env) return platform::print_failure(kOutsideTerminalText, kExitFailure);

  const std::optional<std::vector<std::string>> arguments = platform::unicode_arguments(argc, argv);
  if (!arguments) return platform::print_failure(kArgumentsNotUnicodeText, kExitUsage);

  const std::variant<Command, UsageError> command = build_command(*env, *arguments);
  if (const auto* usage = std::get_if<UsageError>(&command)) return platform::print_failure(usage->text, kExitUsage);
  const auto& [verb, request] = std::get<Command>(command);

  JsonValue response;
  if (const std::optional<std::string> failure = exchange(env->port, request, response)) {
    return platform::print_failure(*failure, kExitFailure);
  }
  return platform::print_report(report(verb, response));
}

}  // namespace

int main(int argc, char** argv) {
  platform::prepare_process();
  // Memory can run out anywhere: in reading the arguments, in building the report, in showing it.
  // What the run held is freed by then, so the message can still be written.
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    return platform::print_failure("zelto: out of memory\n", kExitFailure);
  }
}
