// zelto: one request from a terminal of the app, one report. The run is a straight pipeline:
// environment gate, command table, exchange with the app, report.

#include <string>
#include <variant>
#include <vector>

#include "commands/command_table.h"
#include "env/terminal_env.h"
#include "exit_status.h"
#include "link/exchange.h"
#include "platform/platform.h"
#include "report/report.h"

int main(int argc, char** argv) {
  using namespace zelto;
  platform::prepare_process();

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
